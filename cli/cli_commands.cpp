#include "cli_commands.h"

#include <utility>

namespace quobrel::cli {

CliConvert::CliConvert(const ConvertRequest& request) {
  for (OptionButton button : request.buttons) panel_.Select(button);
}

std::u16string CliConvert::Filter(std::u16string text) {
  form_.SourceData = std::move(text);
  command_.Command1_Click(Caller::Batch);
  return std::move(form_.ResultData);
}

BatchCommand CliConvert::ForFiles() {
  return {[this] {
    command_.Command1_Click(Caller::Batch);
    return std::size_t{0};
  }};
}

CliReplace::CliReplace(const ReplaceRequest& request) : ignoreCase_(!request.matchCase) {
  search_.SetText(request.search);
  replacement_.SetText(request.replacement);
}

std::u16string CliReplace::Filter(std::u16string text) {
  form_.SourceData = std::move(text);
  command_.Command6_Click(Caller::Batch);
  return std::move(form_.ResultData);
}

BatchCommand CliReplace::ForFiles() {
  return {[this] { return command_.Command6_Click(Caller::Batch); }, /*counted=*/true};
}

}  // namespace quobrel::cli
