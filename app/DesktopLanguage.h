// The toolkit's own texts in the language in use (the buttons of message
// boxes, the file, print and input dialogs) and the desktop platform's texts.
#pragma once

#include <QString>

#include <memory>

class QTranslator;

// Qt's translations of one language, installed in the application while it
// is the language in use.
class ToolkitLanguage {
  public:
    ToolkitLanguage();
    ~ToolkitLanguage();
    ToolkitLanguage(const ToolkitLanguage&) = delete;
    ToolkitLanguage& operator=(const ToolkitLanguage&) = delete;

    // "F" and "S" install Qt's French or Spanish catalogue; "E" and any
    // other code remove it. False when the catalogue could not be loaded
    // (the toolkit's texts then stay English).
    bool apply(const QString& languageCode);

  private:
    std::unique_ptr<QTranslator> translator_;
};

// The box shown when the desktop cannot open an address or a file.
struct OpenFailedTexts {
    QString title;
    QString text; // followed by an empty line and the address
};
// English for a code other than "E", "F" and "S".
const OpenFailedTexts& OpenFailedTextsFor(const QString& languageCode);
