#pragma once
// Users lists for tests: entries added with a name, rights, kind and id.

#include <memory>
#include <string>

#include "engine/users.h"
#include "platform/guid.h"

namespace corvane::testing {

inline TPwdBaseUser& AddUserEntry(TPwdBaseUsersList& users, const std::string& name, const std::string& rights,
                                  std::uint8_t type = kUserDatabase, const TGuid& guid = TGuid::Create()) {
  auto entry = std::make_unique<TPwdBaseUser>();
  entry->SetGuid(guid);
  entry->SetName(name);
  entry->SetRights(rights);
  entry->SetUserType(type);
  return *users.Add(std::move(entry));
}

}  // namespace corvane::testing
