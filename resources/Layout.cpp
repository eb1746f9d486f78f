// The main window's layout table (see Layout.h): frame, then the pages
// Russia, Ukraine, Bulgaria and Settings, each in creation order.
#include "resources/Layout.h"

namespace {

using K = ControlKind;
constexpr int N = kNoTabStop;
constexpr int kPageTop = kTabStripHeight;  // pages start below the tab strip

}  // namespace

const LayoutRow kMainLayout[] = {
    // Frame of the window.
    {"pc", K::PageControl, ID_pc, kFormParent, 0, 0, 553, 505, u"", 0, nullptr},
    {"tsRus", K::Page, ID_tsRus, ID_pc, 0, kPageTop, 553, 481, u"Россия", N, nullptr},
    {"tsUkr", K::Page, ID_tsUkr, ID_pc, 0, kPageTop, 553, 481, u"Украина", N, nullptr},
    {"tsBulg", K::Page, ID_tsBulg, ID_pc, 0, kPageTop, 553, 481, u"Болгария", N, nullptr},
    {"tsOptions", K::Page, ID_tsOptions, ID_pc, 0, kPageTop, 553, 481, u"Настройки", N, nullptr},
    {"Panel1", K::Panel, ID_Panel1, kFormParent, 0, 511, 553, 66, u"", 1, nullptr},
    {"Button6", K::Button, ID_Button6, ID_Panel1, 465, 25, 75, 25, u"Закрыть", 0, "Button6Click"},
    {"Button9", K::Button, ID_Button9, ID_Panel1, 10, 25, 75, 25, u"Справка", 1, "Button9Click"},

    // Page tsRus (Russia).
    {"gbRasSchet", K::GroupBox, ID_gbRasSchet, ID_tsRus, 8, 158, 513, 75,
     u" Проверить номер расчетного счета ", 0, nullptr},
    {"Label1", K::Label, ID_Label1, ID_gbRasSchet, 280, 14, 53, 13, u"БИК банка", N, nullptr},
    {"Edit3", K::Edit, ID_Edit3, ID_gbRasSchet, 16, 36, 233, 21, u"", 0, nullptr},
    {"Button3", K::Button, ID_Button3, ID_gbRasSchet, 418, 33, 75, 25, u"Проверить", 1, "Button3Click"},
    {"Edit6", K::Edit, ID_Edit6, ID_gbRasSchet, 280, 35, 121, 21, u"", 2, nullptr},
    {"gbCheckORGN", K::GroupBox, ID_gbCheckORGN, ID_tsRus, 10, 390, 361, 75,
     u" Проверить номер ОРГН ", 1, nullptr},
    {"Edit8", K::Edit, ID_Edit8, ID_gbCheckORGN, 16, 32, 233, 21, u"", 0, nullptr},
    {"Button7", K::Button, ID_Button7, ID_gbCheckORGN, 266, 30, 75, 25, u"Проверить", 1, "Button7Click"},
    {"gbCheckOKPO", K::GroupBox, ID_gbCheckOKPO, ID_tsRus, 8, 311, 361, 73,
     u" Проверить номер ОКПО ", 2, nullptr},
    {"Edit5", K::Edit, ID_Edit5, ID_gbCheckOKPO, 16, 28, 233, 21, u"", 0, nullptr},
    {"Button5", K::Button, ID_Button5, ID_gbCheckOKPO, 266, 26, 75, 25, u"Проверить", 1, "Button5Click"},
    {"gbCorSchet", K::GroupBox, ID_gbCorSchet, ID_tsRus, 8, 239, 513, 66,
     u" Проверить номер корреспондентского счета ", 3, nullptr},
    {"Label2", K::Label, ID_Label2, ID_gbCorSchet, 280, 9, 53, 13, u"БИК банка", N, nullptr},
    {"Edit4", K::Edit, ID_Edit4, ID_gbCorSchet, 16, 28, 233, 21, u"", 0, nullptr},
    {"Button4", K::Button, ID_Button4, ID_gbCorSchet, 418, 26, 75, 25, u"Проверить", 1, "Button4Click"},
    {"Edit7", K::Edit, ID_Edit7, ID_gbCorSchet, 280, 28, 121, 21, u"", 2, nullptr},
    {"gbCheckPU", K::GroupBox, ID_gbCheckPU, ID_tsRus, 8, 79, 361, 73,
     u" Проверить номер пенсионного удостоверения ", 4, nullptr},
    {"Edit2", K::Edit, ID_Edit2, ID_gbCheckPU, 16, 28, 233, 21, u"", 0, nullptr},
    {"Button2", K::Button, ID_Button2, ID_gbCheckPU, 266, 26, 75, 25, u"Проверить", 1, "Button2Click"},
    {"gbCheckINN", K::GroupBox, ID_gbCheckINN, ID_tsRus, 8, 8, 361, 65, u" Проверить ИНН ", 5, nullptr},
    {"Edit1", K::Edit, ID_Edit1, ID_gbCheckINN, 16, 30, 233, 21, u"", 0, nullptr},
    {"Button1", K::Button, ID_Button1, ID_gbCheckINN, 266, 28, 71, 25, u"Проверить", 1, "Button1Click"},

    // Page tsUkr (Ukraine).
    {"gbRachSchetUkr", K::GroupBox, ID_gbRachSchetUkr, ID_tsUkr, 8, 8, 513, 65,
     u" Проверить номер расчетного счета", 0, nullptr},
    {"Label9", K::Label, ID_Label9, ID_gbRachSchetUkr, 282, 13, 53, 13, u"БИК банка", N, nullptr},
    {"Edit9", K::Edit, ID_Edit9, ID_gbRachSchetUkr, 16, 32, 233, 21, u"", 0, nullptr},
    {"Edit10", K::Edit, ID_Edit10, ID_gbRachSchetUkr, 280, 32, 121, 21, u"", 1, nullptr},
    {"Button8", K::Button, ID_Button8, ID_gbRachSchetUkr, 418, 30, 75, 25, u"Проверить", 2, "Button8Click"},

    // Page tsBulg (Bulgaria).
    {"GroupBox1", K::GroupBox, ID_GroupBox1, ID_tsBulg, 8, 8, 361, 65, u" Проверить ЕГН ", 0, nullptr},
    {"Edit11", K::Edit, ID_Edit11, ID_GroupBox1, 16, 30, 233, 21, u"", 0, nullptr},
    {"Button10", K::Button, ID_Button10, ID_GroupBox1, 266, 28, 71, 25, u"Проверить", 1, "Button10Click"},

    // Page tsOptions (Settings).
    {"Image1", K::Image, ID_Image1, ID_tsOptions, 416, 21, 32, 32, u"", N, nullptr},
    {"Label3", K::Label, ID_Label3, ID_tsOptions, 454, 21, 73, 13, u"Проверка ИНН", N, nullptr},
    {"Label4", K::Label, ID_Label4, ID_tsOptions, 454, 40, 67, 13, u"Проверка р/с", N, nullptr},
    {"Label5", K::Label, ID_Label5, ID_tsOptions, 454, 59, 67, 13, u"Проверка к/с", N, nullptr},
    {"Label6", K::Label, ID_Label6, ID_tsOptions, 454, 78, 82, 13, u"Проверка ОКПО", N, nullptr},
    {"Label7", K::Label, ID_Label7, ID_tsOptions, 454, 97, 66, 13, u"Проверка ПУ", N, nullptr},
    {"Label8", K::LinkLabel, ID_Label8, ID_tsOptions, 416, 116, 111, 13, u"http://example.com/",
     N, "Label8Click"},
    {"gbLang", K::GroupBox, ID_gbLang, ID_tsOptions, 8, 3, 185, 50, u"Язык", 0, nullptr},
    // Height: one text line; the box sizes its edit field to its font.
    {"CmbBxLang", K::ComboBox, ID_CmbBxLang, ID_gbLang, 16, 18, 153, 21, u"", 0,
     "CmbBxLangPropertiesChange"},
};

const std::size_t kMainLayoutCount = sizeof(kMainLayout) / sizeof(kMainLayout[0]);

const LayoutRow* FindLayoutRow(int id) {
  for (std::size_t i = 0; i < kMainLayoutCount; ++i) {
    if (kMainLayout[i].id == id) return &kMainLayout[i];
  }
  return nullptr;
}
