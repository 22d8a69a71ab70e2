#include "app/session_modal.h"

namespace corvane {

namespace {
int modalCount = 0;
}  // namespace

void BeginModal() { ++modalCount; }

void EndModal() {
  if (modalCount > 0) --modalCount;
}

int ModalCount() { return modalCount; }

}  // namespace corvane
