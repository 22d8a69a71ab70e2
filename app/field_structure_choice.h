#pragma once
// Which folder's structure the "Customize fields" command edits: a folder that
// inherits its structure asks whether it gets an independent one of its own
// or the structure of the folder it inherits from is edited.

namespace corvane {

class TPwdFolder;

// The folder whose structure `folder` uses: itself when it has its own, else
// the nearest folder above it that has one.
TPwdFolder& StructureOwner(TPwdFolder& folder);

// `folder` when it has its own structure. Otherwise asks the inheritance
// question (Yes/No/Cancel) naming the folder it inherits from: Yes gives
// `folder` (its edit becomes an independent structure), No the folder it
// inherits from, Cancel nullptr.
TPwdFolder* ChooseStructureFolder(TPwdFolder& folder);

}  // namespace corvane
