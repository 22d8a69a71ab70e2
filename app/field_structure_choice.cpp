#include "app/field_structure_choice.h"

#include "app/field_structure_messages.h"
#include "app/message_box.h"
#include "engine/base.h"
#include "engine/messages.h"
#include "platform/codepage.h"

namespace corvane {

TPwdFolder& StructureOwner(TPwdFolder& folder) {
  TPwdFolder* owner = &folder;
  while (!owner->HasOwnStructure() && owner->ParentFolder()) owner = owner->ParentFolder();
  return *owner;
}

TPwdFolder* ChooseStructureFolder(TPwdFolder& folder) {
  if (folder.HasOwnStructure()) return &folder;
  TPwdFolder& owner = StructureOwner(folder);
  switch (MsgBox(FormatMessage(sfieldsinherited, AnsiToUtf8(owner.Name)), kMbYesNoCancel | kMbIconQuestion)) {
    case kIdYes: return &folder;
    case kIdNo: return &owner;
    default: return nullptr;
  }
}

}  // namespace corvane
