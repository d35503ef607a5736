// The menu model read from configuration text: what each directive sets, where named files
// stand, which configuration starts a menu, the colours and the passwords. Every expected
// value is written by hand (the attributes and rows from docs/text-menu.md's measurements).
#include <gtest/gtest.h>

#include <functional>

#include "media/MemoryMedium.h"
#include "menu/Model.h"
#include "menu/Password.h"
#include "menu/Start.h"

namespace menu {
namespace {

Model Read(const std::string& config, std::map<std::string, std::string> more = {}) {
  more["isolinux.cfg"] = config;
  const media::MemoryMedium medium(more);
  return ReadModel(medium, {"isolinux.cfg"});
}

using Probe = std::function<std::string(const Model&)>;
const Menu& Top(const Model& m) { return m.Menus[0]; }
const Entry& First(const Model& m) { return m.Menus[0].Entries.at(0); }
std::string Num(int n) { return std::to_string(n); }
std::string Where(const Place& p) { return p.File + ":" + Num(p.Line) + ":" + Num(p.Column); }

TEST(MenuModel, WhatEachDirectiveSets) {
  const struct {
    const char* Config;
    Probe Get;
    const char* Expected;
  } cases[] = {
      {"MENU TITLE  Harbour  ",
       [](auto& m) { return Top(m).Title + " " + Where(Top(m).TitleWhere); },
       "Harbour   isolinux.cfg:1:13"},  // blanks at the end kept (vesamenu golden 01-alpha)
      {"menu title lower", [](auto& m) { return Top(m).Title; }, "lower"},
      {"MENU WIDTH 50", [](auto& m) { return Num(Top(m).Set.Geometry.Width); }, "50"},
      {"MENU MARGIN 4", [](auto& m) { return Num(Top(m).Set.Geometry.Margin); }, "4"},
      {"MENU ROWS -3", [](auto& m) { return Num(Top(m).Set.Geometry.Rows); }, "-3"},
      {"Menu HShift 6", [](auto& m) { return Num(Top(m).Set.Geometry.HShift); }, "6"},
      {"MENU TABMSGROW -5", [](auto& m) { return Num(ScreenRow(Top(m).Set.Geometry.TabMsgRow)); },
       "19"},
      {"MENU ENDROW 20", [](auto& m) { return Num(ScreenRow(Top(m).Set.Geometry.EndRow)); }, "19"},
      {"", [](auto& m) { return Num(ScreenRow(Top(m).Set.Geometry.HiddenRow)); }, "22"},
      {"", [](auto& m) { return Num(ScreenRow(Top(m).Set.Geometry.PasswordRow)); }, "10"},
      {"TIMEOUT 600", [](auto& m) { return Num(Top(m).Set.Timeout); }, "600"},
      {"TOTALTIMEOUT 70", [](auto& m) { return Num(Top(m).Set.TotalTimeout); }, "70"},
      {"ONTIMEOUT two", [](auto& m) { return Top(m).Set.OnTimeout; }, "two"},
      {"ALLOWOPTIONS 0", [](auto& m) { return Num(m.AllowOptions); }, "0"},
      {"NOESCAPE 1", [](auto& m) { return Num(m.NoEscape); }, "1"},
      {"MENU HIDDEN\nMENU IMMEDIATE", [](auto& m) { return Num(m.Hidden) + Num(m.Immediate); },
       "11"},
      {"MENU SHIFTKEY\nMENU CLEAR", [](auto& m) { return Num(m.ShiftKey) + Num(m.Clear); }, "11"},
      {"MENU TABMSG Tab it", [](auto& m) { return Top(m).Set.TabMsg; }, "Tab it"},
      {"MENU NOTABMSG No", [](auto& m) { return Top(m).Set.NoTabMsg; }, "No"},
      {"", [](auto& m) { return Top(m).Set.AutoBoot; }, "Automatic boot in # second{,s}..."},
      {"MENU AUTOBOOT Go in #", [](auto& m) { return Top(m).Set.AutoBoot; }, "Go in #"},
      {"MENU PASSPROMPT Key?", [](auto& m) { return Top(m).Set.PassPrompt; }, "Key?"},
      {"MENU MASTER PASSWD pw", [](auto& m) { return Top(m).Set.MasterPassword; }, "pw"},
      {"MENU RESOLUTION 800 600",
       [](auto& m) {
         return Num(Top(m).Set.ResolutionWidth) + "x" + Num(Top(m).Set.ResolutionHeight);
       },
       "800x600"},
      {"MENU BACKGROUND splash.png", [](auto& m) { return Top(m).Set.Background.Name; },
       "splash.png"},
      {"FONT lat1.psf", [](auto& m) { return m.Font.Name; }, "lat1.psf"},
      {"DEFAULT d2", [](auto& m) { return m.Default.Name + " " + Where(m.Default.Where); },
       "d2 isolinux.cfg:1:9"},
      {"F1 f1.txt\nF10 ten.txt\nF12 twelve.txt bg.png",
       [](auto& m) { return m.FKeys[1].Name + m.FKeys[10].Name + m.FKeys[12].Name; },
       "f1.txtten.txttwelve.txt"},
      {"F0 zero.txt", [](auto& m) { return m.FKeys[10].Name + " " + Where(m.FKeys[10].Where); },
       "zero.txt isolinux.cfg:1:4"},
      {"LABEL a\n KERNEL vmlinuz\n APPEND quiet",
       [](auto& m) {
         return First(m).Kernel.Name + "|" + First(m).Append + "|" + First(m).KernelKind;
       },
       "vmlinuz|quiet|kernel"},
      {"LABEL a\n LINUX vmlinuz\n INITRD one.img,two.img",
       [](auto& m) {
         return First(m).Initrds.at(1).Name + " " + Where(First(m).Initrds.at(1).Where);
       },
       "two.img isolinux.cfg:3:17"},
      {"LABEL a\n COM32 chain.c32", [](auto& m) { return First(m).KernelKind; }, "com32"},
      {"LABEL a\n LOCALBOOT -1",
       [](auto& m) { return Num(First(m).LocalBootType) + Num(First(m).Does == Action::Boot); },
       "-11"},
      {"LABEL a\n KERNEL k\n IPAPPEND 2", [](auto& m) { return Num(First(m).IpAppend); }, "2"},
      {"LABEL a\n CONFIG other.cfg",
       [](auto& m) { return Num(First(m).Does == Action::Config) + First(m).Target.Name; },
       "1other.cfg"},
      {"LABEL a\n MENU LABEL ^Alpha\n MENU INDENT 2",
       [](auto& m) {
         return First(m).Shown + Num(First(m).HotkeyAt) + First(m).Hotkey + Num(First(m).Indent) +
                " " + Where(First(m).TextWhere);
       },
       "Alpha0a2 isolinux.cfg:2:13"},
      {"LABEL nolabel", [](auto& m) { return First(m).Shown; }, "nolabel"},
      {"LABEL a\n MENU LABEL Two ^car^ets^",
       [](auto& m) { return First(m).Shown + Num(First(m).HotkeyAt); }, "Two carets4"},
      {"LABEL a\n MENU HIDE\n MENU DISABLE\n MENU DEFAULT",
       [](auto& m) {
         return Num(First(m).Hidden) + Num(First(m).Disabled) + Num(First(m).IsDefault);
       },
       "111"},
      {"LABEL a\n MENU PASSWD\n",
       [](auto& m) { return Num(First(m).HasPassword) + "[" + First(m).Password + "]"; }, "1[]"},
      {"LABEL a\n MENU PASSWD $1$x$y",
       [](auto& m) { return First(m).Password + " " + Where(First(m).PasswordWhere); },
       "$1$x$y isolinux.cfg:2:14"},
      {"LABEL a\n MENU GOTO tools\nMENU BEGIN tools\nMENU END",
       [](auto& m) { return Num(First(m).Submenu) + Where(First(m).Target.Where); },
       "1isolinux.cfg:2:12"},
      {"LABEL a\n MENU GOTO .top", [](auto& m) { return Num(First(m).Submenu); }, "0"},
      {"LABEL a\n MENU GOTO nowhere",
       [](auto& m) { return Num(First(m).Submenu) + First(m).Target.Name; }, "-1nowhere"},
      {"LABEL a\n MENU QUIT", [](auto& m) { return Num(First(m).Does == Action::Quit); }, "1"},
      {"LABEL a\n MENU HELP help.txt",
       [](auto& m) { return Num(First(m).Does == Action::Help) + First(m).Target.Name; },
       "1help.txt"},
      {"LABEL a\n TEXT HELP\n  one\ntwo\n ENDTEXT",
       [](auto& m) { return First(m).HelpText.at(0) + "|" + First(m).HelpText.at(1); },
       "  one|two"},
      {"LABEL a\n TEXT HELP\nMENU TITLE not a title",
       [](auto& m) { return Top(m).Title + Num(static_cast<int>(First(m).HelpText.size())); }, "1"},
      {"MENU SEPARATOR\nLABEL a",
       [](auto& m) {
         return Num(First(m).Separator) + Num(static_cast<int>(Top(m).Entries.size()));
       },
       "12"},
      {"MENU BEGIN deep\n MENU TITLE Deep\n MENU START\nMENU END",
       [](auto& m) {
         return m.Menus.at(1).Tag + m.Menus.at(1).Title + Num(m.Menus.at(1).Start) +
                Num(First(m).Submenu);
       },
       "deepDeep11"},
      {"MENU WIDTH 50\nMENU BEGIN\nMENU MARGIN 3\nMENU END\nMENU ROWS 4",
       [](auto& m) {
         return Num(m.Menus.at(1).Set.Geometry.Width) + Num(m.Menus.at(1).Set.Geometry.Margin) +
                Num(m.Menus.at(1).Set.Geometry.Rows) + Num(Top(m).Set.Geometry.Margin);
       },
       "5031210"},
      {"MENU COLOR sel 1;36;44 #ff00ff00 #80000000 none",
       [](auto& m) {
         auto& c = Top(m).Set.Colors[SelColor];
         return Num(*c.Attr) + " " + Num(static_cast<int>(c.Foreground >> 24)) + " " + c.Shadow;
       },
       "27 255 none"},
      {"MENU COLOUR msg1e 7",
       [](auto& m) { return Num(*Top(m).Set.Colors[FirstMsgColor + 0x1e].Attr); }, "112"},
      {"MENU COLOR title #ff00ff00",
       [](auto& m) { return Num(Top(m).Set.Colors[TitleColor].Attr.has_value()); }, "0"},
      {"MENU COLOR border *", [](auto& m) { return Num(*Top(m).Set.Colors[BorderColor].Attr); },
       "16"},
  };
  for (const auto& c : cases) EXPECT_EQ(c.Get(Read(c.Config)), c.Expected) << c.Config;
}

TEST(MenuModel, IncludesAndTheirPlaces) {
  const Model m = Read(
      "LABEL a\nMENU INCLUDE extra.cfg\nINCLUDE tools.cfg tools\nINCLUDE gone.cfg\n"
      "include loop.cfg",
      {{"extra.cfg", "LABEL b\n KERNEL k"},
       {"tools.cfg", "MENU TITLE Tools\nLABEL t\n KERNEL k"},
       {"loop.cfg", "include loop.cfg\nLABEL l"}});
  const std::vector<std::string> expected{"a", "b", "tools", "l"};
  ASSERT_EQ(Top(m).Entries.size(), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i) EXPECT_EQ(Top(m).Entries[i].Label, expected[i]);
  EXPECT_EQ(m.Menus.at(1).Title, "Tools");
  EXPECT_EQ(m.Menus.at(1).Entries.at(0).Label, "t");
  EXPECT_EQ(Where(m.Menus.at(1).Where), "isolinux.cfg:3:9");
  EXPECT_EQ(Where(m.Menus.at(1).Entries.at(0).Where), "tools.cfg:2:1");
  ASSERT_EQ(m.MissingIncludes.size(), 1u);
  EXPECT_EQ(m.MissingIncludes[0].Name + " " + Where(m.MissingIncludes[0].Where),
            "gone.cfg isolinux.cfg:4:9");
  EXPECT_EQ(m.FilesRead,
            (std::vector<std::string>{"isolinux.cfg", "extra.cfg", "tools.cfg", "loop.cfg"}));
}

TEST(MenuStart, WhichConfigurationStartsAMenu) {
  const struct {
    const char* Config;
    Module Kind;
    const char* Configs;  // joined by blanks
  } cases[] = {
      {"UI menu.c32", Module::Text, "isolinux.cfg"},
      {"ui VESAMENU.C32", Module::Graphical, "isolinux.cfg"},
      {"UI /isolinux/modules/menu.c32", Module::Text, "isolinux.cfg"},
      {"UI menu.c32 other.cfg", Module::Text, "other.cfg"},
      {"UI vesamenu.c32 graphics.conf ~", Module::Graphical, "graphics.conf isolinux.cfg"},
      {"DEFAULT menu.c32\nPROMPT 0", Module::Text, "isolinux.cfg"},
      {"DEFAULT m\nLABEL m\n KERNEL vesamenu.c32\n APPEND other.cfg", Module::Graphical,
       "other.cfg"},
      {"include ui.cfg", Module::Text, "isolinux.cfg"},
      {"DEFAULT linux\nLABEL linux\n KERNEL vmlinuz", Module::None, ""},
      {"UI other.c32", Module::None, ""},
      {"PROMPT 1\nDISPLAY boot.txt", Module::None, ""},
      {"TEXT\nUI menu.c32\nENDTEXT", Module::None, ""},
  };
  for (const auto& c : cases) {
    const media::MemoryMedium medium(
        std::map<std::string, std::string>{{"isolinux.cfg", c.Config}, {"ui.cfg", "UI menu.c32"}});
    const MenuStart start = FindMenuStart(medium, "isolinux.cfg");
    EXPECT_EQ(start.Kind, c.Kind) << c.Config;
    std::string configs;
    for (const auto& name : start.Configs) configs += (configs.empty() ? "" : " ") + name;
    if (c.Kind != Module::None) {
      EXPECT_EQ(configs, c.Configs) << c.Config;
    }
  }
}

TEST(MenuColors, AnsiToTheLoadersAttribute) {
  // clang-format off
  const struct { const char* Ansi; int Attr; } cases[] = {
      {"0", 0x07}, {"1;36;44", 0x1B}, {"5;33;41", 0xC6}, {"7", 0x70}, {"4", 0x01}, {"37;40;1", 0x0F},
      {"1;4;31", 0x09}, {"31;1;5;7;44", 0xC9}, {"38;44", 0x11}, {"39;41;1", 0x4F}, {"22;1;32", 0x0A},
      {"27;7;35", 0x50}, {"25;5;36;42", 0xA3}, {"1;37;46", 0x3F}, {"30;47;1;5", 0xF8}, {"7;4", 0x10},
      {"5;7", 0xF0}, {"7;1;33;42", 0x6A}, {"37;40;2", 0x08}, {"41", 0x47}, {"5", 0x87}, {"0;31", 0x04},
      {"49;39;24;7", 0x77}, {"35;49", 0x75}, {";", 0x07}, {"0;1;0;36", 0x03}, {"1;2;34", 0x08},
      {"8;32", 0x02}, {"1;5;7;31;44", 0xC9}, {"4;7", 0x10}, {"30;40", 0x00}, {"7;27;31;47", 0x74},
      {"4;24;33;40", 0x06}, {"1;38;41", 0x49}, {"1;39;42", 0x2F}, {"#ff00ff00", -1}, {"std", -1},
  };
  // clang-format on
  for (const auto& c : cases) {
    const auto attr = AnsiAttribute(c.Ansi);
    EXPECT_EQ(attr ? *attr : -1, c.Attr) << c.Ansi;
  }
  const struct {
    const char* Name;
    int Element;
  } names[] = {{"screen", ScreenColor},
               {"TIMEOUT_MSG", TimeoutMsgColor},
               {"help", HelpColor},
               {"msg07", FirstMsgColor + 7},
               {"MSGF1", FirstMsgColor + 0xF1},
               {"msgxy", -1},
               {"colour", -1}};
  for (const auto& n : names) EXPECT_EQ(ElementNamed(n.Name), n.Element) << n.Name;
}

TEST(MenuPasswords, PlainAndHashed) {
  // Hashes of "harbour" made with openssl passwd (the 15-passwd-hashes case).
  const struct {
    const char* Typed;
    const char* Expected;
    PasswordCheck Check;
  } cases[] = {
      {"harbour", "harbour", PasswordCheck::Right},
      {"harbou", "harbour", PasswordCheck::Wrong},
      {"harbour", "$1$harbour1$EbwE7SzjEEQyXPCTkhHJm.", PasswordCheck::Right},
      {"harbour", "$5$harbour5$SSe.HkdpmV6/KjwfP2QFo1VW5SDLiO8S1a.0UQCdWn7", PasswordCheck::Right},
      {"harbour",
       "$6$harbour6$DcjrD2kveq."
       "OPlGfcuIWGriuXoCwucpKrHqFK5H3FbtmIwWEQwTjAqlbFzCVfzC76Zh2Z7toi7yOSDUIc44Pe1",
       PasswordCheck::Right},
      {"nope",
       "$6$harbour6$DcjrD2kveq."
       "OPlGfcuIWGriuXoCwucpKrHqFK5H3FbtmIwWEQwTjAqlbFzCVfzC76Zh2Z7toi7yOSDUIc44Pe1",
       PasswordCheck::Wrong},
      {"harbour", "$4$salt$notaformlibcryptknows", PasswordCheck::Unchecked},
  };
  for (const auto& c : cases) EXPECT_EQ(CheckPassword(c.Typed, c.Expected), c.Check) << c.Expected;
}

}  // namespace
}  // namespace menu
