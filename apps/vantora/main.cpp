// vantora: renders looks, converts component streams and control files, lists their properties,
// captures pictures as the library does.
#include <exception>
#include <iostream>
#include <optional>
#include <string>

#include "Commands.h"
#include "ToolErrors.h"
#include "effects/Shapes.h"
#include "util/Version.h"

namespace {

// CLI11 takes a word that names no verb for a missing verb, and a --help after it for the main
// help: the word is found among the arguments it left over.
std::optional<std::string> UnknownVerb(const CLI::App& app) {
  if (!app.get_subcommands().empty()) return std::nullopt;
  for (const std::string& word : app.remaining())
    if (!word.starts_with('-')) return word;
  return std::nullopt;
}

int UsageFailure(const std::string& message) {
  std::cerr << "vantora: " << vantora::tool::Printable(message) << "\nRun with --help for usage.\n";
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  CLI::App app{"Vantora command-line tool"};
  app.set_version_flag("--version", vantora::VersionString());
  app.require_subcommand(1);
  // Given after the verb as well: the verbs pass options they do not know on to here.
  app.fallthrough();
  app.add_option_function<std::string>("--shapes", vantora::SetShapeFilePath,
                                       "Shape file to use instead of the one the settings file names")
      ->check(CLI::ExistingFile);
  vantora::tool::AddConvertCommands(app);
  vantora::tool::AddPictureCommands(app);
  vantora::tool::AddEffectsSheetCommands(app);
  vantora::tool::AddRenderCommands(app);
  vantora::tool::AddShowCommands(app);
  vantora::tool::AddGalleryCommands(app);
  vantora::tool::AddGradientCommands(app);
  vantora::tool::AddWizardCommands(app);
  vantora::tool::AddAtlasCommands(app);
  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& e) {
    if (const std::optional<std::string> verb = UnknownVerb(app))
      return UsageFailure("unknown verb \"" + *verb + "\"");
    return app.exit(e);
  } catch (const vantora::tool::UsageError& e) {
    return UsageFailure(e.what());
  } catch (const std::exception& e) {
    // The library's errors and the standard ones (a file-system failure, no memory) alike: the
    // message and a failure code, never an abort.
    vantora::tool::ReportError(e.what());
    return 1;
  }
  // What went to standard output is part of the result: a full disk or a closed pipe is a failure.
  if (!std::cout.flush()) {
    vantora::tool::ReportError("Cannot write standard output");
    return 1;
  }
  return 0;
}
