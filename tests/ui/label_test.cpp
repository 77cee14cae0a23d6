#include <gtest/gtest.h>

#include "Unit1.h"
#include "vcl/forms.h"
#include "vcl/loop.h"
#include "vcl/stdctrls.h"
#include "vcl/testing.h"

namespace {

// The width and height the text takes in the label's font.
TRect Measure(TLabel* label, const AnsiString& text) {
    TBitmap scratch;
    scratch.Canvas()->SetFont(label->Font());
    TRect rect(0, 0, 10000, 0);
    DrawTextA(scratch.Canvas()->Handle(), text.c_str(), text.Length(), &rect, DT_CALCRECT);
    return rect;
}

}  // namespace

TEST(Label, AnAutoSizedLabelTakesTheSizeOfItsText) {
    InitVclForTests();
    TForm form(nullptr);
    auto* label = new TLabel(&form);
    label->SetParent(&form);
    label->SetBounds(8, 42, 3, 11);
    label->Font()->SetHeight(-11);

    struct Case { const char* caption; const char* measured; } cases[] = {
        {"Personal use", "Personal use"},
        {"User ID:abc", "User ID:abc"},
        {"", " "},           // an empty label keeps the height of a line
        {"A&&B", "A&&B"},    // measured as it is drawn
    };
    for (const Case& c : cases) {
        label->SetCaption(c.caption);
        TRect want = Measure(label, c.measured);
        EXPECT_EQ(label->Width(), want.Right) << c.caption;
        EXPECT_EQ(label->Height(), want.Bottom) << c.caption;
        EXPECT_EQ(label->Left(), 8);
        EXPECT_EQ(label->Top(), 42);
    }

    // Right-justified, it keeps its right edge.
    label->SetAlignment(taRightJustify);
    label->SetCaption("x");
    const int right = label->Left() + label->Width();
    label->SetCaption("a longer text");
    EXPECT_EQ(label->Left() + label->Width(), right);

    // Fixed in size, it keeps its bounds.
    label->SetAutoSize(false);
    label->SetBounds(1, 2, 30, 40);
    label->SetCaption("another text altogether");
    EXPECT_EQ(label->BoundsRect(), TRect(1, 2, 31, 42));
}

// The substitute faces keep the widths of the originals; their line height may be a pixel more.
TEST(Label, TheSplashTextsFitTheWidthOfTheirLabels) {
    InitVclForTests();
    TVirtualLoop loop;
    Application->SetExeNameForTests("/nonexistent/Varnith2.exe");
    Application->CreateForm(Form1);
    for (TLabel* label : {Form1->Label2, Form1->Label3, Form1->Label1}) {
        TRect text = Measure(label, label->Caption());
        EXPECT_LE(text.Right, label->Width()) << label->Name.str();
    }
    Application->DestroyForms();
    Form1 = nullptr;
}
