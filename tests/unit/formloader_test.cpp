#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "rtl/sysutils.h"
#include "vcl/formloader.h"

namespace {

// A small object tree that records every property write in order.
struct TProbeFont : TPersistent {
    std::vector<std::string>* Log = nullptr;
};

struct TProbe : TComponent {
    explicit TProbe(TComponent* owner) : TComponent(owner) { Font.Log = &Log; }
    void SetParentComponent(TComponent* parent) override { Parent = parent; }
    void Loaded() override { Log.push_back("Loaded"); }
    std::vector<std::string> Log;
    TProbeFont Font;
    TComponent* Parent = nullptr;
    TNotifyEvent OnClick;
};

const TPropertyTable& FontTable() {
    static TPropertyTable table = [] {
        TPropertyTable t;
        t.Define<TProbeFont>("Name", [](TProbeFont* f, const TFormValue& v) {
            f->Log->push_back("Font.Name=" + LayoutString(v).str());
        });
        return t;
    }();
    return table;
}

const TPropertyTable& ProbeTable() {
    static TPropertyTable table = [] {
        TPropertyTable t;
        t.Define<TProbe>("Left", [](TProbe* p, const TFormValue& v) {
            p->Log.push_back("Left=" + std::to_string(LayoutInt(v)));
        });
        t.Define<TProbe>("Caption", [](TProbe* p, const TFormValue& v) {
            p->Log.push_back("Caption=" + LayoutString(v).str());
        });
        t.Define<TProbe>("Color", [](TProbe* p, const TFormValue& v) {
            p->Log.push_back("Color=" + std::to_string(LayoutColor(v)));
        });
        t.Define<TProbe>("Enabled", [](TProbe* p, const TFormValue& v) {
            p->Log.push_back(std::string("Enabled=") + (LayoutBool(v) ? "1" : "0"));
        });
        t.Define<TProbe>("Style", [](TProbe* p, const TFormValue& v) {
            std::string s;
            for (const AnsiString& e : v.Set) s += e.str() + ",";
            p->Log.push_back("Style=" + s);
        });
        t.Define<TProbe>("OnClick", [](TProbe* p, const TFormValue& v, TFormReader& r) {
            p->OnClick = r.Handler(v);
        });
        t.Sub<TProbe>("Font", [](TProbe* p) -> TPersistent* { return &p->Font; }, FontTable());
        return t;
    }();
    return table;
}

struct Registration {
    Registration() {
        RegisterClass("TProbe", [](TComponent* owner) { return new TProbe(owner); }, ProbeTable());
    }
} registration;

}  // namespace

TEST(FormLoader, AppliesPropertiesInStoredOrderAndBindsFieldsAndHandlers) {
    TProbe form(nullptr);
    TProbe* child = nullptr;
    int clicks = 0;
    TFormBindings bindings;
    bindings.Fields["Child1"] = Field(child);
    bindings.Handlers["Child1Click"] = [&](TObject*) { ++clicks; };
    ReadFormLayout(&form, R"(
object Form1: TProbe
  Caption = 'Trellan 2'
  Left = -434
  Color = clBtnFace
  object Child1: TProbe
    Font.Name = #65325#65331' '#65328'ゴシック'
    Caption = 'it''s'
      + ' long'
    Style = [fsBold, fsItalic]
    Enabled = False
    OnClick = Child1Click
    Left = 8
  end
end)", ProbeTable(), bindings);

    EXPECT_EQ(form.Log, (std::vector<std::string>{"Caption=Trellan 2", "Left=-434",
                                                  "Color=" + std::to_string(clBtnFace), "Loaded"}));
    ASSERT_NE(child, nullptr);
    TProbe* probe = child;
    EXPECT_EQ(probe->Name, "Child1");
    EXPECT_EQ(probe->Parent, &form);
    EXPECT_EQ(probe->Owner(), &form);
    EXPECT_EQ(probe->Log, (std::vector<std::string>{
        "Font.Name=" + "ＭＳ Ｐゴシック"_cp932.str(), "Caption=it's long", "Style=fsBold,fsItalic,",
        "Enabled=0", "Left=8", "Loaded"}));
    probe->OnClick(probe);
    EXPECT_EQ(clicks, 1);
}

TEST(FormLoader, MistakesInALayoutAreErrors) {
    const char* layouts[] = {
        "object F: TProbe\n  Wdth = 3\nend",              // unknown property
        "object F: TProbe\n  Font.Nme = 'x'\nend",        // unknown sub-property
        "object F: TProbe\n  object C: TNoSuch\n  end\nend",  // unknown class
        "object F: TProbe\n  OnClick = NoHandler\nend",   // unknown handler
        "object F: TProbe\n  Left = 'x'\nend",            // value of the wrong kind
        "object F: TProbe\n  Color = clNoColour\nend",
        "object F: TProbe\n  Caption = 'open\nend",       // unterminated string
        "object F: TProbe\n  Left = 1\n",                  // no end
        "object F: TProbe\nend\nend",                     // text after the end
    };
    for (const char* layout : layouts) {
        TProbe form(nullptr);
        EXPECT_THROW(ReadFormLayout(&form, layout, ProbeTable(), {}), Exception) << layout;
    }
}

// Layouts nest objects and lists a few levels deep; a hostile one nested thousands of levels
// deep is a parse error, not a stack overflow.
TEST(FormLoader, DeepNestingIsAParseError) {
    auto lists = [](int depth) {
        return "object F: TProbe\n  Items = " + std::string(depth, '(') + std::string(depth, ')') + "\nend";
    };
    auto objects = [](int depth) {
        std::string text;
        for (int i = 0; i < depth; ++i) text += "object C: TProbe\n";
        for (int i = 0; i < depth; ++i) text += "end\n";
        return text;
    };
    EXPECT_NO_THROW(ParseFormText(lists(100)));
    EXPECT_NO_THROW(ParseFormText(objects(100)));
    for (const std::string& layout : {lists(5777), lists(50000), objects(50000)}) {
        try {
            ParseFormText(layout);
            ADD_FAILURE() << "no error for " << layout.size() << " bytes";
        } catch (const Exception& e) {
            EXPECT_NE(e.Message.str().find("levels deep"), std::string::npos) << e.Message.str();
        }
    }
}
