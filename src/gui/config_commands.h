#pragma once

class QWidget;
class TAppConfig;
class TLookupCache;
class TFormConfigGeneral;

// The two settings commands of the main window. Each opens its dialog
// modally over the owner and changes the settings in memory only after OK;
// they reach the file when the program ends. Both may run during a search:
// the settings take a lock in every accessor, and workers read the proxy
// once, when the search starts.

// "全般設定(&C)".
void ActionConfigGeneralExecute(QWidget* owner, TAppConfig& config, TLookupCache* cache = nullptr);

// Copies a general settings dialog that was closed with OK into the
// settings: every text without line breaks, the keys (Calil's too) also
// without surrounding blanks, the proxy texts otherwise exactly as typed, a
// port that is no number as 8080, and the book-data source.
void ApplyConfigGeneral(const TFormConfigGeneral& form, TAppConfig& config);

// "図書館選択(&L)". True after OK, even when nothing changed: the results
// grid then rebuilds its library columns.
bool ActionConfigLibraryExecute(QWidget* owner, TAppConfig& config);
