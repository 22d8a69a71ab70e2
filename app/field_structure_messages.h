#pragma once
// The message texts of the field-structure editor ("Customize fields") and of
// its commit, by name. Line breaks are "\r"; filled with FormatMessage.

#include <string_view>

namespace corvane {

constexpr std::string_view sfieldsinherited =
    "This folder inherits fields structure from its parent (%s).\r"
    "Do you wish to create independent fields structure for this folder and all its children?\r\r"
    "Press Yes to create independent fields structure for this folder and all its children.\r"
    "Press No to edit parent folder structure.";
constexpr std::string_view sfieldsfolderdeleted = "Folder was deleted by other user.";
constexpr std::string_view sfieldsdeletefield =
    "All data stored in field '%s' will be lost.\r\rAre you sure to delete the field?";
constexpr std::string_view sfieldschangetype =
    "Changing of field data type can lead to data loss.\r\rAre you sure to change field data type?";
constexpr std::string_view sfieldsdeletesection = "Do you want to delete %s ?";
constexpr std::string_view sfieldsentersectionname = "Please enter section name.";

// Checks of an edit that the editor's own controls rule out, for callers that
// build the lists themselves.
constexpr std::string_view sfieldsunknownnumber = "The structure has no field number %d.";
constexpr std::string_view sfieldsnumbertwice = "The field number %d is listed more than once.";
constexpr std::string_view sfieldstypenotoffered = "The field '%s' cannot take the type %d.";
constexpr std::string_view sfieldskindnotoffered = "The field '%s' cannot take the kind %d.";
constexpr std::string_view sfieldspredefinedfixed =
    "The field '%s' is filled in by the program; only its name and section can change.";
constexpr std::string_view sfieldspredefinedkept = "The field '%s' is filled in by the program and cannot be deleted.";

// Names shown for field types and kinds.
constexpr std::string_view sfieldtypestring = "String";
constexpr std::string_view sfieldtypedate = "Date";
constexpr std::string_view sfieldtypeinteger = "Integer";
constexpr std::string_view sfieldtypefloat = "Float";
constexpr std::string_view sfieldtypecheckbox = "Checkbox";
constexpr std::string_view sfieldkindregular = "Regular string";
constexpr std::string_view sfieldkindpassword = "Password field";
constexpr std::string_view sfieldkindmultiline = "Multiline text";
constexpr std::string_view sfieldkindurl = "Clickable URL";
constexpr std::string_view sfieldkindpredefined = "Predefined values";

}  // namespace corvane
