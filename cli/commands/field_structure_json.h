#pragma once
// The JSON form of a folder's field structure, written by `fields --json` and
// read by `fields-edit`, so that the one's output, edited, is the other's input:
//
//   {"folder": "/Work", "structureOf": "/",
//    "sections": ["General", "Advanced"],
//    "fields": [{"number": 0, "name": "Title", "type": "String",
//                "kind": "Regular string", "section": 0, "position": 0,
//                "column": 0, "columnVisible": true, "description": "",
//                "defaultValue": "", "predefinedValues": []}, ...]}
//
// Fields are listed in the record editor's order. On input "folder",
// "structureOf", "position", "column" and "columnVisible" are only shown and
// not read: the order within a section is the order of the list.

#include <string_view>

#include "app/field_structure_edit.h"

namespace corvane {

class TJsonWriter;
class TPwdFolder;

// Writes the effective structure of `folder`; numbers are the fields' own.
void WriteFieldStructureJson(TJsonWriter& json, TPwdFolder& folder);

// Applies the JSON description `text` to `edit` (the lists that
// ReadFieldStructureEdit gave): "sections", when given, replaces the section
// list; "fields", when given, is the new field list, where an entry with the
// number of a listed field starts from that field and changes the members it
// gives, and an entry without a number is a new field. Throws TError for text
// that is not such a description.
void ApplyFieldStructureJson(std::string_view text, TFieldStructureEdit& edit);

}  // namespace corvane
