// Saved contents of the control: a saved stream and the model it came from share
// one text buffer, and neither may see the other's later changes.
#include "richedit/RichStream.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "richedit/TextModel.h"
#include "tests/richedit/ModelTestUtil.h"

using namespace richedit;
using richedit::test::ColourMap;
using richedit::test::PlainModel;

namespace {

// A model with colours, bold and a centred paragraph.
TTextModel Formatted() {
  TTextModel m = PlainModel("first line\r\nsecond line\r\nthird");
  const TRange red[] = {{0, 5}, {12, 6}};
  m.ColourRanges(red, kRed);
  m.Select(19, 4);
  m.SetSelBold(true);
  m.SetParagraphAlignment(TAlignment::Center);
  return m;
}

struct TEdit {
  const char* Name;
  std::function<void(TTextModel&)> Apply;
};

const std::vector<TEdit>& Edits() {
  static const std::vector<TEdit> edits = {
      {"typing", [](TTextModel& m) { m.Select(3, 2), m.ReplaceSelection("XY\r\nZ"); }},
      {"deleting", [](TTextModel& m) { m.Select(0, 7), m.ClearSelection(); }},
      {"batch delete",
       [](TTextModel& m) {
         const TRange cut[] = {{1, 3}, {12, 10}};
         m.DeleteRanges(cut);
       }},
      {"colouring",
       [](TTextModel& m) {
         const TRange all[] = {{0, m.TextLength()}};
         m.ColourRanges(all, TRgb{0, 0, 255});
       }},
      {"alignment",
       [](TTextModel& m) { m.SelectAll(), m.SetParagraphAlignment(TAlignment::Right); }},
      {"plain load", [](TTextModel& m) { m.LoadPlainText("other"); }},
      {"clear", [](TTextModel& m) { m.Clear(); }},
  };
  return edits;
}

}  // namespace

TEST(RichStream, SavedContentWritesTheModelsRichText) {
  const TTextModel m = Formatted();
  const TRichStream saved = TRichStream::Saved(m);
  EXPECT_FALSE(saved.empty());
  ASSERT_NE(saved.SavedContent(), nullptr);
  EXPECT_EQ(saved.Bytes(), m.SaveRichText());

  // Loaded back, it is what reading its rich text gives.
  TTextModel fromSaved, fromBytes;
  fromSaved.AssignContent(*saved.SavedContent());
  ASSERT_TRUE(fromBytes.LoadRichText(saved.Bytes()));
  EXPECT_EQ(fromSaved.Text(), fromBytes.Text());
  EXPECT_EQ(ColourMap(fromSaved), ColourMap(fromBytes));
  EXPECT_EQ(fromSaved.SaveRichText(), fromBytes.SaveRichText());
  EXPECT_EQ(fromSaved.ParagraphAlignment(20), TAlignment::Center);
  EXPECT_EQ(fromSaved.SelStart(), 0);
}

TEST(RichStream, EditsOnEitherSideLeaveTheOtherAlone) {
  for (const TEdit& edit : Edits()) {
    SCOPED_TRACE(edit.Name);
    // The model edited after saving.
    TTextModel live = Formatted();
    const std::string before = live.SaveRichText();
    const TRichStream saved = TRichStream::Saved(live);
    edit.Apply(live);
    EXPECT_EQ(saved.Bytes(), before);

    // A model showing the saved content, edited.
    TTextModel shown;
    shown.AssignContent(*saved.SavedContent());
    edit.Apply(shown);
    EXPECT_EQ(saved.Bytes(), before);
    EXPECT_EQ(shown.SaveRichText(), live.SaveRichText());
  }
}

TEST(RichStream, ShowingSavedContentIsAlwaysANewRevision) {
  TTextModel older = PlainModel("a");
  TTextModel busy = PlainModel("b");
  for (int i = 0; i < 10; ++i)
    busy.LoadPlainText("bb");
  // Whether the saved model has made fewer changes or more, caches of the model
  // that takes its content must see a revision they never saw.
  for (const TTextModel* from : {&older, &busy}) {
    TTextModel shown = PlainModel("shown");
    const auto seen = shown.Revision();
    shown.AssignContent(*TRichStream::Saved(*from).SavedContent());
    EXPECT_GT(shown.Revision(), seen);
    EXPECT_GT(shown.Revision(), from->Revision());
    EXPECT_EQ(shown.Text(), from->Text());
  }
}

TEST(RichStream, BytesAreKeptAsTheyCame) {
  TRichStream bytes(std::string("{\\rtf1 x}\r\n"));
  EXPECT_EQ(bytes.SavedContent(), nullptr);
  EXPECT_EQ(bytes.Bytes(), "{\\rtf1 x}\r\n");
  EXPECT_EQ(bytes.TakeBytes(), "{\\rtf1 x}\r\n");
  EXPECT_TRUE(bytes.empty());
  TRichStream saved = TRichStream::Saved(PlainModel("x"));
  saved.clear();
  EXPECT_TRUE(saved.empty());
  EXPECT_TRUE(TRichStream().empty());
}
