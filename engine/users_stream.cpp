// Users and groups in a database body, all encrypted. Files before 2.17 knew
// fewer rights letters; their users are given the rights those letters
// implied then, so that nobody loses what he could do.

#include <memory>
#include <vector>

#include "engine/body_records.h"
#include "engine/crypt_stream.h"
#include "engine/users.h"

namespace corvane {
namespace {

constexpr bool kEncrypted = false;

void AppendMissing(std::string& rights, std::string_view letters) {
  for (char letter : letters)
    if (rights.find(letter) == std::string::npos) rights += letter;
}

// The rights of a user as an older format stored them, in today's letters.
std::string ConvertRights(std::string rights, std::uint16_t version) {
  if (version < 195) {
    // "O" (own data) stood for insert, modify and delete; viewing passwords
    // needed no letter.
    std::string converted;
    for (char letter : rights) converted += letter == 'O' ? std::string("IUD") : std::string(1, letter);
    rights = std::move(converted);
    if (!rights.empty()) AppendMissing(rights, "V");
  }
  if (version < 217 && !rights.empty() && rights != "-") AppendMissing(rights, "MLSF");
  return rights;
}

bool IsAdministrator(const TPwdBaseUser& user) {
  return user.Rights().empty() || user.Rights().find('A') != std::string::npos;
}

}  // namespace

void WriteUsers(TPwdBaseUsersList& users, TCryptStream& stream) {
  users.Sort();
  stream.WriteInt32(users.Count(), kEncrypted);
  for (const TPwdBaseUser* user : users) {
    stream.WriteGuid(user->Guid(), kEncrypted);
    stream.WriteString(user->Name(), kEncrypted);
    stream.WriteString(user->PasswordDigest(), kEncrypted);
    stream.WriteString(user->Rights(), kEncrypted);
    stream.WriteString(user->Description(), kEncrypted);
    stream.WriteByte(user->UserType(), kEncrypted);
    stream.WriteString(user->AccountId(), kEncrypted);
    stream.WriteByte(user->Enabled() ? 1 : 0, kEncrypted);
    const TPwdBaseUsersList* links = user->HasLinks() ? user->LinksIfAny() : nullptr;
    stream.WriteInt32(links ? links->Count() : 0, kEncrypted);
    if (links)
      for (const TPwdBaseUser* link : *links) stream.WriteGuid(link->Guid(), kEncrypted);
  }
}

void ReadUsers(TPwdBaseUsersList& users, TCryptStream& stream, const TStreamFormat& format) {
  users.Clear();
  const std::uint16_t v = format.Version;
  const int count = ReadCount(stream, kEncrypted);
  for (int i = 0; i < count; ++i) {
    auto owned = std::make_unique<TPwdBaseUser>();
    owned->SetGuid(stream.ReadGuid(kEncrypted));
    TPwdBaseUser* user = users.Add(std::move(owned));
    user->SetName(stream.ReadString(kEncrypted));
    user->SetPasswordDigest(stream.ReadString(kEncrypted));
    user->SetRights(ConvertRights(stream.ReadString(kEncrypted), v));
    user->SetDescription(stream.ReadString(kEncrypted));
    if (v >= 196) {
      user->SetUserType(stream.ReadByte(kEncrypted));
      user->SetAccountId(stream.ReadString(kEncrypted));
    }
    if (v > 217) user->SetEnabled(stream.ReadByte(kEncrypted) != 0);
    if (v > 213) {
      const int links = ReadCount(stream, kEncrypted);
      for (int j = 0; j < links; ++j) {
        // Groups come before their members; a link to nobody read so far is dropped.
        TPwdBaseUser* group = users.FindByGuid(stream.ReadGuid(kEncrypted));
        if (group && group != user) user->Links().Add(group);
      }
    }
  }
  // A database always has an administrator.
  bool anyAdministrator = false;
  for (const TPwdBaseUser* user : users) anyAdministrator = anyAdministrator || IsAdministrator(*user);
  if (!anyAdministrator && users.Count() > 0) users[0]->SetRights({});
}

}  // namespace corvane
