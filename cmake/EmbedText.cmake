# Writes a text file as a C++ string constant: cmake -DINPUT=file -DOUTPUT=header -DNAME=identifier -P
file(READ ${INPUT} content)
if(content MATCHES "\\)vantora_text\"")
  message(FATAL_ERROR "${INPUT} holds the delimiter of the raw string it is embedded in")
endif()
file(WRITE ${OUTPUT} "// Generated from ${INPUT}; edit that file instead.\n#pragma once\n\n"
                     "inline constexpr char ${NAME}[] = R\"vantora_text(${content})vantora_text\";\n")
