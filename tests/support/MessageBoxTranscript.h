// Scripted message boxes for tests: TScriptedMessageBoxes points the message-box
// transcript and answers at a temporary file and a list for its lifetime, and reads
// back every box shown meanwhile, also by child processes that inherit the
// environment.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "platform/MessageBoxScript.h"

namespace darvena::test {

class TScriptedMessageBoxes {
 public:
  // answers: as DARVENA_MSGBOX_ANSWERS takes them ("yes,no"); empty answers every box
  // with its default button.
  explicit TScriptedMessageBoxes(const std::string& answers = "");
  ~TScriptedMessageBoxes();
  TScriptedMessageBoxes(const TScriptedMessageBoxes&) = delete;
  TScriptedMessageBoxes& operator=(const TScriptedMessageBoxes&) = delete;

  // The boxes shown so far, in order (caption and text in Windows-1251).
  [[nodiscard]] std::vector<platform::TMessageBoxRecord> Boxes() const;
  [[nodiscard]] const std::filesystem::path& Path() const { return path_; }

 private:
  std::filesystem::path path_;
  std::string oldTranscript_, oldAnswers_;
  bool hadTranscript_ = false, hadAnswers_ = false;
};

// Every record of a transcript file; throws std::runtime_error on a malformed line.
[[nodiscard]] std::vector<platform::TMessageBoxRecord> ReadMessageBoxTranscript(
    const std::filesystem::path& path);

}  // namespace darvena::test
