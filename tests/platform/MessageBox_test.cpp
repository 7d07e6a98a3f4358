// Message boxes: button sets and labels, the scripted front end with its transcript
// and answers, and the terminal prompt.
#include "platform/MessageBox.h"

#include <gtest/gtest.h>
#include <pty.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>

#include "platform/CodePage.h"
#include "platform/MessageBoxScript.h"
#include "platform/MessageBoxTerminal.h"
#include "tests/support/MessageBoxTranscript.h"
#include "tests/support/TempMachine.h"

using namespace platform;

namespace {

std::string Ansi(const char* utf8) {
  return Utf8ToAnsi(utf8);
}

std::string Labels(const TMessageBoxRequest& r) {
  std::string s;
  for (const auto& b : r.Buttons)
    s += (s.empty() ? "" : "|") + AnsiToUtf8(b.Label);
  return s;
}

TEST(MessageBoxRequest, ButtonSetsLabelsAndDefaults) {
  darvena::test::TTempMachine machine;
  setenv("LANG", "en_US.UTF-8", 1);
  unsetenv("LC_ALL");
  struct {
    uint32_t flags;
    bool hasLanguage;
    uint16_t language;
    const char* labels;
    int defaultId;
  } cases[] = {
      {MB_OK | MB_ICONERROR, true, 0x19, "ОК", IDOK},
      {MB_OK, false, 0, "OK", IDOK},
      {MB_OKCANCEL | MB_DEFBUTTON2, true, 0x0419, "ОК|Отмена", IDCANCEL},
      {MB_YESNO | MB_ICONQUESTION, true, 0x19, "Да|Нет", IDYES},
      {MB_YESNO | MB_DEFBUTTON2, true, 0x0409, "Yes|No", IDNO},
      {MB_YESNOCANCEL | MB_DEFBUTTON3, true, 0x07, "Yes|No|Cancel", IDCANCEL},
      // A default beyond the set falls back to the first button.
      {MB_OK | MB_DEFBUTTON2, false, 0, "OK", IDOK},
      // The neutral language takes the system's own, English here.
      {MB_YESNO, true, 0x00, "Yes|No", IDYES},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.labels);
    const auto r = MakeMessageBoxRequest(nullptr, "t", "c", c.flags, c.hasLanguage, c.language);
    EXPECT_EQ(Labels(r), c.labels);
    EXPECT_EQ(r.Buttons[r.DefaultButton].Id, c.defaultId);
  }
}

TEST(MessageBoxRequest, SystemLanguageFollowsTheUsersLocale) {
  darvena::test::TTempMachine machine;
  unsetenv("LC_ALL");
  setenv("LANG", "ru_RU.UTF-8", 1);
  EXPECT_EQ(Labels(MakeMessageBoxRequest(nullptr, "", "", MB_OKCANCEL, false, 0)), "ОК|Отмена");
  // A language asked for explicitly wins over the system's.
  EXPECT_EQ(Labels(MakeMessageBoxRequest(nullptr, "", "", MB_OK, true, 0x09)), "OK");
  setenv("LANG", "de_DE.UTF-8", 1);
  EXPECT_EQ(Labels(MakeMessageBoxRequest(nullptr, "", "", MB_YESNO, false, 0)), "Yes|No");
}

TEST(MessageBox, UnknownButtonSetShowsNothingAndReturnsZero) {
  darvena::test::TScriptedMessageBoxes boxes;
  EXPECT_EQ(MessageBoxA(nullptr, "t", "c", 0x7), 0);
  EXPECT_TRUE(boxes.Boxes().empty());
}

TEST(ScriptedMessageBox, TranscriptKeepsEveryBoxExactly) {
  darvena::test::TScriptedMessageBoxes boxes;
  const std::string text = Ansi("Нет доступа\r\nк реестру\tC:\\Temp\\");
  EXPECT_EQ(MessageBoxExA(nullptr, text, Ansi("Дарвена"), 0x00200010, 0x19), IDOK);
  EXPECT_EQ(MessageBoxA(nullptr, "Done.", "Darvena", 0x00042040), IDOK);

  const auto got = boxes.Boxes();
  ASSERT_EQ(got.size(), 2u);
  EXPECT_EQ(got[0].Caption, Ansi("Дарвена"));
  EXPECT_EQ(got[0].Text, text);
  EXPECT_EQ(got[0].Flags, 0x00200010u);
  EXPECT_TRUE(got[0].HasLanguage);
  EXPECT_EQ(got[0].Language, 0x19);
  EXPECT_FALSE(got[1].HasLanguage);
  EXPECT_EQ(got[1].Flags, 0x00042040u);

  // The file itself is plain UTF-8, one line per box, readable by any tool.
  const std::string raw = darvena::test::ReadFileBytes(boxes.Path());
  EXPECT_EQ(raw.substr(0, raw.find('\n')),
            "caption=Дарвена\ttext=Нет доступа\\r\\nк реестру\\tC:\\\\Temp\\\\"
            "\tflags=0x00200010\tlanguage=0x0019\tanswer=OK");
  EXPECT_NE(raw.find("language=none\tanswer=OK\n"), std::string::npos);
}

TEST(ScriptedMessageBox, AnswersAreTakenInOrderThenTheDefault) {
  darvena::test::TScriptedMessageBoxes boxes("no, Cancel,6 ok");
  EXPECT_EQ(MessageBoxA(nullptr, "1", "c", MB_YESNO), IDNO);
  EXPECT_EQ(MessageBoxA(nullptr, "2", "c", MB_OKCANCEL), IDCANCEL);
  EXPECT_EQ(MessageBoxA(nullptr, "3", "c", MB_YESNO | MB_DEFBUTTON2), IDYES);
  // "ok" names no button of a Yes/No box: the default answers.
  EXPECT_EQ(MessageBoxA(nullptr, "4", "c", MB_YESNO | MB_DEFBUTTON2), IDNO);
  // The list is used up.
  EXPECT_EQ(MessageBoxA(nullptr, "5", "c", MB_OKCANCEL | MB_DEFBUTTON2), IDCANCEL);
  const auto got = boxes.Boxes();
  ASSERT_EQ(got.size(), 5u);
  EXPECT_EQ(got[0].Answer, IDNO);
  EXPECT_EQ(got[3].Answer, IDNO);
}

TEST(ScriptedMessageBox, ChildProcessesContinueTheSameAnswerList) {
  darvena::test::TScriptedMessageBoxes boxes("yes,no,yes");
  EXPECT_EQ(MessageBoxA(nullptr, "parent", "c", MB_YESNO), IDYES);
  const pid_t child = fork();
  if (child == 0) _exit(MessageBoxA(nullptr, "child", "c", MB_YESNO));
  int status = 0;
  waitpid(child, &status, 0);
  EXPECT_EQ(WEXITSTATUS(status), IDNO);
  EXPECT_EQ(MessageBoxA(nullptr, "parent again", "c", MB_YESNO | MB_DEFBUTTON2), IDYES);
  EXPECT_EQ(boxes.Boxes().size(), 3u);
}

TEST(ScriptedMessageBox, AnswersWithoutTranscriptCountWithinTheProcess) {
  unsetenv("DARVENA_MSGBOX_TRANSCRIPT");
  setenv("DARVENA_MSGBOX_ANSWERS", "cancel,no", 1);
  EXPECT_EQ(MessageBoxA(nullptr, "1", "c", MB_OKCANCEL), IDCANCEL);
  EXPECT_EQ(MessageBoxA(nullptr, "2", "c", MB_YESNO), IDNO);
  EXPECT_EQ(MessageBoxA(nullptr, "3", "c", MB_YESNO), IDYES);
  unsetenv("DARVENA_MSGBOX_ANSWERS");
}

TEST(ScriptedMessageBox, MalformedTranscriptLinesAreRejected) {
  for (const char* line : {
           "",
           "caption=a\ttext=b\tflags=0x10\tlanguage=none\tanswer=OK",  // short flags
           "caption=a\ttext=b\tflags=0x00000010\tlanguage=19\tanswer=OK",
           "caption=a\ttext=b\\q\tflags=0x00000010\tlanguage=none\tanswer=OK",
           "caption=a\ttext=b\tflags=0x00000010\tlanguage=none\tanswer=Maybe",
           "text=b\tcaption=a\tflags=0x00000010\tlanguage=none\tanswer=OK",
       }) {
    SCOPED_TRACE(line);
    EXPECT_FALSE(ParseMessageBoxRecord(line).has_value());
  }
}

TEST(FrontEnd, InstalledFrontEndGetsTheBoxUnlessScripted) {
  unsetenv("DARVENA_MSGBOX_TRANSCRIPT");
  unsetenv("DARVENA_MSGBOX_ANSWERS");
  TMessageBoxRequest seen;
  SetMessageBoxFrontEnd([&](const TMessageBoxRequest& r) {
    seen = r;
    return IDNO;
  });
  EXPECT_EQ(MessageBoxExA(nullptr, "text", "cap", MB_YESNO | MB_TOPMOST, 0x19), IDNO);
  EXPECT_EQ(seen.Caption, "cap");
  EXPECT_EQ(seen.Flags, MB_YESNO | MB_TOPMOST);
  EXPECT_EQ(Labels(seen), "Да|Нет");
  {
    darvena::test::TScriptedMessageBoxes boxes;
    seen = {};
    EXPECT_EQ(MessageBoxA(nullptr, "scripted", "cap", MB_YESNO | MB_DEFBUTTON2), IDNO);
    EXPECT_TRUE(seen.Caption.empty());
  }
  SetMessageBoxFrontEnd({});
}

// Runs the terminal prompt in a child on a pseudo-terminal, types `input` and
// returns the child's answer and what it wrote.
std::pair<int, std::string> AskOnTerminal(const TMessageBoxRequest& request,
                                          const std::string& input) {
  int master = -1;
  const pid_t child = forkpty(&master, nullptr, nullptr, nullptr);
  if (child == 0) _exit(ShowTerminalMessageBox(request));
  if (write(master, input.data(), input.size()) < 0) return {-1, ""};
  std::string out;
  char buf[512];
  for (ssize_t n; (n = read(master, buf, sizeof buf)) > 0;)
    out.append(buf, n);
  int status = 0;
  waitpid(child, &status, 0);
  close(master);
  return {WEXITSTATUS(status), out};
}

TEST(TerminalMessageBox, PromptTakesNumbersLabelsAndTheDefault) {
  darvena::test::TTempMachine machine;
  const auto ru = MakeMessageBoxRequest(nullptr, Ansi("Удалить?\r\nТочно"), Ansi("Дарвена"),
                                        MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2, true, 0x19);
  struct {
    const char* input;
    int expected;
  } cases[] = {
      {"1\n", IDYES}, {"\n", IDNO}, {"да\n", IDYES}, {"maybe\n3\nYes\n", IDYES}, {"no\n", IDNO}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.input);
    const auto [answer, out] = AskOnTerminal(ru, c.input);
    EXPECT_EQ(answer, c.expected);
    EXPECT_NE(out.find("[Дарвена] Question"), std::string::npos) << out;
    EXPECT_NE(out.find("Удалить?"), std::string::npos);
    EXPECT_NE(out.find("1) Да  2) Нет *"), std::string::npos) << out;
  }
  // End of input cancels a box that can be cancelled.
  const auto okCancel = MakeMessageBoxRequest(nullptr, "x", "c", MB_OKCANCEL, true, 0x09);
  EXPECT_EQ(AskOnTerminal(okCancel, "\x04").first, IDCANCEL);
}

TEST(TerminalMessageBox, WithoutTerminalTheDefaultAnswersAtOnce) {
  darvena::test::TTempMachine machine;
  int fds[2];
  ASSERT_EQ(pipe(fds), 0);
  const pid_t child = fork();
  if (child == 0) {
    dup2(fds[0], STDIN_FILENO);
    _exit(ShowTerminalMessageBox(
        MakeMessageBoxRequest(nullptr, "x", "c", MB_OKCANCEL | MB_DEFBUTTON2, false, 0)));
  }
  int status = 0;
  waitpid(child, &status, 0);
  close(fds[0]);
  close(fds[1]);
  EXPECT_EQ(WEXITSTATUS(status), IDCANCEL);
}

}  // namespace
