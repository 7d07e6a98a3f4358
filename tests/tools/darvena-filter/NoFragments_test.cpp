// The message result as the shared writer leaves it in a model: what the viewer
// shows and keeps, and what darvena-filter --rtf would print.
#include "viewer/NoFragments.h"

#include <gtest/gtest.h>

#include "platform/CodePage.h"
#include "richedit/TextModel.h"

namespace {

using platform::Utf8ToAnsi;

TEST(NoFragments, OneCentredBoldLineWithTheKeyInRed) {
  for (bool whole : {false, true}) {
    SCOPED_TRACE(whole);
    richedit::TTextModel model;
    model.LoadPlainText(Utf8ToAnsi("кот\r\nпёс"));
    model.SetSelStart(4);
    viewer::WriteNoFragments(model, Utf8ToAnsi("ДОМ"), whole);

    const std::string expected = viewer::NoFragmentsText(Utf8ToAnsi("ДОМ"), whole);
    EXPECT_EQ(expected, Utf8ToAnsi(whole ? "Нет фрагментов, содержащих \"ДОМ\" целиком"
                                         : "Нет фрагментов, содержащих \"ДОМ\""));
    EXPECT_EQ(model.Text(), expected);
    EXPECT_EQ(model.ParagraphAlignment(0), richedit::TAlignment::Center);
    const int key = static_cast<int>(expected.find(Utf8ToAnsi("ДОМ")));
    for (int at = 0; at < model.TextLength(); ++at) {
      const bool inKey = at >= key && at < key + 3;
      EXPECT_EQ(model.FormatAt(at).Color, inKey ? richedit::kRed : richedit::kBlack) << at;
      EXPECT_TRUE(model.FormatAt(at).Styles.Bold) << at;
    }
  }
}

}  // namespace
