// The main window TForm1: one member per component of the window, in the
// window's own order, and its thirteen event handlers.
//
//   Application->CreateForm(&Form1);
//   Form1->Edit1->Text();
#pragma once

#include "controls/Forms.h"

class TForm1 : public TForm {
 public:
  TForm1();

  TXPManifest* XPManifest1 = nullptr;
  TPageControl* pc = nullptr;
  TTabSheet* tsRus = nullptr;
  TTabSheet* tsUkr = nullptr;
  TGroupBox* gbRasSchet = nullptr;
  TLabel* Label1 = nullptr;
  TEdit* Edit3 = nullptr;
  TButton* Button3 = nullptr;
  TEdit* Edit6 = nullptr;
  TGroupBox* gbCheckORGN = nullptr;
  TEdit* Edit8 = nullptr;
  TButton* Button7 = nullptr;
  TGroupBox* gbCheckOKPO = nullptr;
  TEdit* Edit5 = nullptr;
  TButton* Button5 = nullptr;
  TGroupBox* gbCorSchet = nullptr;
  TLabel* Label2 = nullptr;
  TEdit* Edit4 = nullptr;
  TButton* Button4 = nullptr;
  TEdit* Edit7 = nullptr;
  TGroupBox* gbCheckPU = nullptr;
  TEdit* Edit2 = nullptr;
  TButton* Button2 = nullptr;
  TGroupBox* gbCheckINN = nullptr;
  TEdit* Edit1 = nullptr;
  TButton* Button1 = nullptr;
  TGroupBox* gbRachSchetUkr = nullptr;
  TLabel* Label9 = nullptr;
  TEdit* Edit9 = nullptr;
  TEdit* Edit10 = nullptr;
  TButton* Button8 = nullptr;
  TTabSheet* tsOptions = nullptr;
  TGroupBox* gbLang = nullptr;
  TPanel* Panel1 = nullptr;
  TButton* Button6 = nullptr;
  TButton* Button9 = nullptr;
  TImage* Image1 = nullptr;
  TLabel* Label3 = nullptr;
  TLabel* Label4 = nullptr;
  TLabel* Label5 = nullptr;
  TLabel* Label6 = nullptr;
  TLabel* Label7 = nullptr;
  TLinkLabel* Label8 = nullptr;
  TTabSheet* tsBulg = nullptr;
  TGroupBox* GroupBox1 = nullptr;
  TEdit* Edit11 = nullptr;
  TButton* Button10 = nullptr;
  TComboBox* CmbBxLang = nullptr;

  void Button1Click(TObject* Sender);
  void Button2Click(TObject* Sender);
  void Button3Click(TObject* Sender);
  void Button4Click(TObject* Sender);
  void Button5Click(TObject* Sender);
  void Button6Click(TObject* Sender);
  void Button7Click(TObject* Sender);
  void Button8Click(TObject* Sender);
  void Button9Click(TObject* Sender);
  void Button10Click(TObject* Sender);
  void Label8Click(TObject* Sender);
  void FormCreate(TObject* Sender);
  void CmbBxLangPropertiesChange(TObject* Sender);
};

// The single main window, set before its contents are built.
extern TForm1* Form1;
