// convert and dump: a component stream between its binary and its text form.
#include <iostream>
#include <memory>

#include "Commands.h"
#include "ToolErrors.h"
#include "host/classes/TextForm.h"
#include "host/forms/Forms.h"

namespace vantora::tool {

namespace {

struct ConvertOptions {
  std::string input;
  std::string to;
  std::string output;
};

void RunConvert(const ConvertOptions& options) {
  host::TMemoryStream input;
  input.LoadFromFile(options.input);
  const bool binary = host::IsBinaryComponentStream(input);
  const std::string target = options.to.empty() ? (binary ? "text" : "binary") : options.to;
  if (target == "binary" && options.output.empty()) throw UsageError("binary output needs -o OUT");

  // Read whole and checked in either form, so a malformed file is never reported as converted.
  host::TMemoryStream binaryForm;
  host::ReadComponentStream(input, binaryForm);
  host::TMemoryStream converted;
  if (target == "binary")
    converted.LoadFromStream(binaryForm);
  else if (binary)
    host::ObjectBinaryToText(binaryForm, converted);
  else
    converted.LoadFromStream(input);  // text stays as its author wrote it
  if (options.output.empty()) {
    std::cout.write(reinterpret_cast<const char*>(converted.Memory()), converted.Size());
  } else {
    converted.SaveToFile(options.output);
  }
}

}  // namespace

void AddConvertCommands(CLI::App& app) {
  auto options = std::make_shared<ConvertOptions>();
  CLI::App* convert = app.add_subcommand(
      "convert",
      "Convert a component stream between its binary and its text form (to the other form by default)");
  convert->add_option("FILE", options->input, "Component stream, binary or text")
      ->required()
      ->check(CLI::ExistingFile);
  convert->add_option("--to", options->to, "Form to write")->check(CLI::IsMember({"text", "binary"}));
  convert->add_option("-o,--output", options->output,
                      "Output file (text goes to standard output without it)");
  convert->callback([options] { RunConvert(*options); });

  auto dumpInput = std::make_shared<std::string>();
  CLI::App* dump = app.add_subcommand("dump", "Print a component stream in its text form");
  dump->add_option("FILE", *dumpInput, "Component stream, binary or text")
      ->required()
      ->check(CLI::ExistingFile);
  dump->callback([dumpInput] { RunConvert({*dumpInput, "text", ""}); });
}

}  // namespace vantora::tool
