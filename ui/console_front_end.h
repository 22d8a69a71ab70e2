#pragma once
// The front end of a run without a window: messages go to standard error,
// every message box answers with its default button, and every question that
// needs a person is cancelled.

#include <ostream>

#include "app/windowless_front_end.h"

namespace corvane {

class TConsoleFrontEnd : public TWindowlessFrontEnd {
 public:
  explicit TConsoleFrontEnd(std::ostream& out) : out_(out) {}

  TMessageAnswer ShowMessage(const TMessageRequest& request) override;

 private:
  std::ostream& out_;
};

}  // namespace corvane
