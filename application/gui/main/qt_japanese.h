#pragma once
// Qt's own dialogs (file, print, preview, message-box buttons) speak Japanese
// like every text of the program, whatever the machine's locale.

class QCoreApplication;

// Loads Qt's Japanese translation into `app` (which owns it) and makes
// Japanese the default locale. Returns false when the translation is not
// installed; the dialogs then stay in Qt's English.
bool InstallJapaneseQtTranslation(QCoreApplication& app);
