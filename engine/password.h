#pragma once
// A record of the database tree. Its field values live packed in one value
// area, laid out by the effective structure of its folder.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "engine/autofill.h"
#include "engine/fields.h"
#include "engine/item.h"

namespace corvane {

class TPwdFilesList;

class TPwdPassword : public TPwdItem {
 public:
  explicit TPwdPassword(TPwdItemsList* ownerList);
  ~TPwdPassword() override;

  void LogItemChange(TChangeKind kind) override;
  void Assign(const TPwdItem& source) override;
  // Stamps the system fields: creation date (when still empty), modification
  // date and the user who made the change.
  void BeforePost() override;

  // Binds the record to its effective structure (laying the values out when
  // the structure's field count changed) and returns the structure, whose
  // fields then read and write this record. nullptr when there is none.
  TPwdFieldsList* Bind();
  // Rebuilds ValueOffsets from ValueArea by the effective structure,
  // extending the area with zero bytes where it is too short, then binds.
  void LayoutValues();

  // The text of the field with `number` (viewing rules apply); empty when
  // there is no such field.
  std::string FieldText(std::int32_t number);
  // The record's name: the text of the structure's title field.
  std::string Title();

  std::string ValueArea;
  std::vector<std::int32_t> ValueOffsets;
  TAutoFillDataList AutoFill{this};
  // The attached files (attachments_list.h); nullptr until the first one.
  std::shared_ptr<TPwdFilesList> Files;

 private:
  friend class TPwdFieldsList;
  void AssignValues(const TPwdPassword& source);
  // Attachments the user may see and extract go with a copy; otherwise the
  // copy ends without any.
  void AssignFiles(const TPwdPassword& source);
  void PairFields(TPwdFieldsList& from, TPwdFieldsList& to, bool hidePasswords);
  TPwdFieldsList* boundTo_ = nullptr;
};

}  // namespace corvane
