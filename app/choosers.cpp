#include "app/choosers.h"

#include "app/busy_cursor.h"
#include "app/message_box.h"

namespace corvane {

namespace {

TFileChoice FileChoice(std::string_view title, std::string_view filter, std::string_view startFolder) {
  TFileChoice choice;
  choice.title = std::string(title);
  choice.filters = ParseFileFilter(filter);
  choice.startFolder = std::string(startFolder);
  return choice;
}

}  // namespace

std::vector<TFileFilter> ParseFileFilter(std::string_view filter) {
  std::vector<std::string> parts;
  while (!filter.empty()) {
    const std::size_t bar = filter.find('|');
    parts.emplace_back(filter.substr(0, bar));
    if (bar == std::string_view::npos) break;
    filter.remove_prefix(bar + 1);
  }
  std::vector<TFileFilter> filters;
  for (std::size_t i = 0; i + 1 < parts.size(); i += 2) filters.push_back({parts[i], parts[i + 1]});
  return filters;
}

std::optional<std::string> AskFileToOpen(std::string_view title, std::string_view filter,
                                         std::string_view startFolder) {
  TArrowCursor arrow;
  return FrontEnd().ChooseFileToOpen(FileChoice(title, filter, startFolder));
}

std::optional<std::string> AskFileToSave(std::string_view title, std::string_view filter,
                                         std::string_view startFolder, std::string_view fileName,
                                         std::string_view defaultExtension) {
  TFileChoice choice = FileChoice(title, filter, startFolder);
  choice.fileName = std::string(fileName);
  choice.defaultExtension = std::string(defaultExtension);
  TArrowCursor arrow;
  return FrontEnd().ChooseFileToSave(choice);
}

std::optional<std::string> AskFolder(std::string_view title, std::string_view startFolder) {
  TArrowCursor arrow;
  return FrontEnd().ChooseFolder({std::string(title), std::string(startFolder)});
}

TRestoreChoice AskRestore(std::string_view message, std::string_view backupModified,
                          std::string_view existingModified) {
  TArrowCursor arrow;
  return FrontEnd().AskRestore(
      {MessageText(message), std::string(backupModified), std::string(existingModified)});
}

}  // namespace corvane
