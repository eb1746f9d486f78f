// LoadLang: applies the language named by the language box to the main
// window.
//
//   Form1->CmbBxLang->SetText(L"Russian");   // its change handler then runs
//   LoadLanguage();                          // captions in Russian
//
// LoadLanguage makes the box's text the current language (when it names an
// installed one), sets the 32 captions of the caption table from the text
// lookup, and sets the web link Label8 by the box's committed value. It needs
// Form1 with all its controls created. It keeps no state of its own.
#pragma once

void LoadLanguage();
