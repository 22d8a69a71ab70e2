#pragma once
// The engine's message texts, by name, and the formatter that fills their
// "%s" and "%d" placeholders. Line breaks inside a text are "\r".

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

namespace corvane {

// Object model
constexpr std::string_view spwdaccessdenied = "Access denied.";
constexpr std::string_view spwdnotineditmode = "Not in edit mode.";
constexpr std::string_view spwdduplicatefoldername = "Duplicate folder name '%s'.";
constexpr std::string_view spwdunknownitemtype = "Unknown item type.";
constexpr std::string_view spwduniquenameformat = "%s (%d)";
constexpr std::string_view spwdmoveintoitself = "A folder cannot be moved into itself or one of its subfolders.";

// Users and the change log
constexpr std::string_view spwduserdisabled = "User '%s' is disabled.";
constexpr std::string_view spwddefaultusername = "Default";
constexpr std::string_view spwddefaultuserdesc = "Default user rights";
constexpr std::string_view spwdchangeinsert = "Insert";
constexpr std::string_view spwdchangeupdate = "Update";
constexpr std::string_view spwdchangedelete = "Delete";

// Field structures
constexpr std::string_view spwdinvalidfieldvalue = "Invalid field value.";
constexpr std::string_view spwdsectiongeneral = "General";
constexpr std::string_view spwdsectionadvanced = "Advanced";
constexpr std::string_view spwdfieldcreated = "Creation date of record";
constexpr std::string_view spwdfieldmodified = "Last modification date of record";
constexpr std::string_view spwdfieldexpires = "Expiration date of record";
constexpr std::string_view spwdfieldmodifiedby = "User who made last modification of record";
constexpr std::string_view spwdhiddenvalue = "******";

// Streams, encryption and compression
constexpr std::string_view sreaderror = "Stream read error.";
constexpr std::string_view swriteerror = "Stream write error.";
constexpr std::string_view sseekerror = "Stream seek error.";
constexpr std::string_view serr_invalidpassword = "The password is incorrect.";
constexpr std::string_view serr_algorithmnotfound = "Crypt algorithm not found.";
constexpr std::string_view serr_emptypassword = "Empty password.";
constexpr std::string_view serr_streamtoolarge = "The data are too large to be stored.";
constexpr std::string_view serr_compressionerror = "Compression error: %s";

// One argument of FormatMessage: a text or a number.
class TMessageArg {
 public:
  TMessageArg(std::string_view text) : text_(text) {}
  TMessageArg(const std::string& text) : text_(text) {}
  TMessageArg(const char* text) : text_(text) {}
  TMessageArg(std::int64_t number) : number_(number), isNumber_(true) {}
  TMessageArg(int number) : number_(number), isNumber_(true) {}

  // The argument as "%s" or "%d" shows it.
  std::string Text() const;

 private:
  std::string_view text_;
  std::int64_t number_ = 0;
  bool isNumber_ = false;
};

// Replaces each "%s" or "%d" of `pattern` by the next argument, "%%" by "%".
// A placeholder without an argument is left as it is.
std::string FormatMessageArgs(std::string_view pattern, std::initializer_list<TMessageArg> args);

template <class... TArgs>
std::string FormatMessage(std::string_view pattern, const TArgs&... args) {
  return FormatMessageArgs(pattern, {TMessageArg(args)...});
}

}  // namespace corvane
