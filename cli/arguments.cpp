#include <algorithm>

#include "cli/command.h"
#include "cli/messages.h"
#include "engine/messages.h"

namespace corvane {

namespace {

const TOptionSpec* FindOption(const TCommandSpec& spec, std::string_view name) {
  for (const TOptionSpec& option : spec.options)
    if (option.name == name) return &option;
  return nullptr;
}

const std::string kEmpty;
const std::vector<std::string> kNoValues;

}  // namespace

TArguments::TArguments(const TCommandSpec& spec, const std::vector<std::string>& args) : spec_(spec) {
  const std::string command(spec.name);
  std::size_t positional = 0;
  bool optionsEnded = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (!optionsEnded && arg == "--") {
      optionsEnded = true;
      continue;
    }
    if (!optionsEnded && arg.size() > 1 && arg[0] == '-') {
      const std::size_t equals = arg.find('=');
      const std::string name = arg.substr(0, equals);
      const TOptionSpec* option = FindOption(spec, name);
      if (!option) throw TUsageError(FormatMessage(scli_unknownoption, name), command);
      std::string value;
      if (option->valueName.empty()) {
        if (equals != std::string::npos) throw TUsageError(FormatMessage(scli_optionnovalue, name), command);
      } else if (equals != std::string::npos) {
        value = arg.substr(equals + 1);
      } else if (i + 1 < args.size()) {
        value = args[++i];
      } else {
        throw TUsageError(FormatMessage(scli_optionneedsvalue, name), command);
      }
      auto& values = options_[name];
      if (!values.empty() && !option->repeatable)
        throw TUsageError(FormatMessage(scli_optiontwice, name), command);
      values.push_back(std::move(value));
      continue;
    }
    // A last argument named "NAME..." takes every remaining one (Values(name)).
    const bool variadic = !spec.arguments.empty() && spec.arguments.back().name.ends_with("...");
    if (variadic && positional >= spec.arguments.size() - 1) {
      const std::string name(spec.arguments.back().name);
      if (positional++ == spec.arguments.size() - 1) arguments_[name] = arg;
      options_[name].push_back(arg);
      continue;
    }
    if (positional == spec.arguments.size())
      throw TUsageError(FormatMessage(scli_extraargument, arg), command);
    arguments_[std::string(spec.arguments[positional++].name)] = arg;
  }
  for (positional = std::min(positional, spec.arguments.size()); positional < spec.arguments.size(); ++positional)
    if (spec.arguments[positional].required)
      throw TUsageError(FormatMessage(scli_missingargument, spec.arguments[positional].name), command);
  for (const TOptionSpec& option : spec.options)
    if (option.required && !Has(option.name))
      throw TUsageError(FormatMessage(scli_optionrequired, option.name), command);
}

const std::string& TArguments::Argument(std::string_view name) const {
  auto it = arguments_.find(name);
  return it == arguments_.end() ? kEmpty : it->second;
}

bool TArguments::Has(std::string_view option) const { return options_.find(option) != options_.end(); }

const std::string& TArguments::Value(std::string_view option) const {
  auto it = options_.find(option);
  return it == options_.end() ? kEmpty : it->second.front();
}

const std::vector<std::string>& TArguments::Values(std::string_view option) const {
  auto it = options_.find(option);
  return it == options_.end() ? kNoValues : it->second;
}

}  // namespace corvane
