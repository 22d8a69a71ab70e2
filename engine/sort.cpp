#include "engine/sort.h"

#include <algorithm>
#include <string>
#include <vector>

#include "engine/folder.h"
#include "engine/password.h"
#include "platform/locale.h"

namespace corvane {
namespace {

// The value an item sorts by, read once so comparisons stay cheap.
struct TSortKey {
  TPwdItem* item;
  bool isFolder;
  double number;
  std::string text;
};

bool ComparesAsNumber(std::uint8_t fieldType) {
  return fieldType == kFieldDate || fieldType == kFieldFloat || fieldType == kFieldInteger;
}

TSortKey KeyOf(TPwdItem* item, const TPwdField& field) {
  TSortKey key{item, item->IsFolder(), 0, {}};
  if (key.isFolder) {
    key.text = static_cast<TPwdFolder*>(item)->Name;
    return key;
  }
  auto* record = static_cast<TPwdPassword*>(item);
  TPwdFieldsList* structure = record->Bind();
  TPwdField* own = structure == field.Owner ? const_cast<TPwdField*>(&field)
                   : structure            ? structure->FieldByNumber(field.Number)
                                          : nullptr;
  if (!own) return key;
  if (field.FieldType == kFieldInteger)
    key.number = own->AsInteger();
  else if (ComparesAsNumber(field.FieldType))
    key.number = own->AsFloat();
  else
    key.text = own->AsString();
  return key;
}

}  // namespace

void SortItemsByField(TPwdItemsList& list, TPwdField& field, bool descending) {
  const bool numeric = ComparesAsNumber(field.FieldType);
  std::vector<TSortKey> keys;
  keys.reserve(static_cast<std::size_t>(list.Count()));
  for (TPwdItem* item : list.Items()) keys.push_back(KeyOf(item, field));

  auto order = [&](const TSortKey& a, const TSortKey& b) {
    if (a.isFolder != b.isFolder) return a.isFolder;
    int result;
    if (a.isFolder || !numeric)
      result = CompareTextIgnoreCase(a.text, b.text);
    else
      result = a.number < b.number ? -1 : (b.number < a.number ? 1 : 0);
    return descending ? result > 0 : result < 0;
  };
  std::stable_sort(keys.begin(), keys.end(), order);

  std::vector<TPwdItem*> items;
  items.reserve(keys.size());
  for (const TSortKey& key : keys) items.push_back(key.item);
  list.Reorder(std::move(items));
}

}  // namespace corvane
