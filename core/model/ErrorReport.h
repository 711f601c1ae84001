#pragma once
// The errors of one intake (a drop, the command line, a hand-over, the media controls' open): told
// once, after the intake has finished, without waiting for anyone. Only the first error's text and
// a count are kept, so a thousand failures cost no more memory than one.
#include <cstddef>
#include <string>

namespace sonavex {

class MessageBoxes;

class ErrorReport {
 public:
  void add(const std::string& text);
  bool empty() const { return count_ == 0; }
  // The first error's text, then a line "and N more errors" when there were more.
  std::string text() const;
  // One notice of text() with the title "Sonavex" and the information icon; none without errors.
  void notify(MessageBoxes* messages) const;

 private:
  std::string first_;
  std::size_t count_ = 0;
};

}  // namespace sonavex
