#include "app/DesktopLanguage.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

ToolkitLanguage::ToolkitLanguage() = default;

ToolkitLanguage::~ToolkitLanguage() {
    if (translator_) QCoreApplication::removeTranslator(translator_.get());
}

bool ToolkitLanguage::apply(const QString& code) {
    if (translator_) {
        QCoreApplication::removeTranslator(translator_.get());
        translator_.reset();
    }
    const QLocale::Language language = code == QLatin1String("F")   ? QLocale::French
                                       : code == QLatin1String("S") ? QLocale::Spanish
                                                                    : QLocale::English;
    if (language == QLocale::English) return true;
    // qtbase holds the texts of the widgets, the standard dialogs and printing.
    auto translator = std::make_unique<QTranslator>();
    if (!translator->load(QLocale(language), QStringLiteral("qtbase"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        return false;
    QCoreApplication::installTranslator(translator.get());
    translator_ = std::move(translator);
    return true;
}

const OpenFailedTexts& OpenFailedTextsFor(const QString& code) {
    static const OpenFailedTexts e{
        QStringLiteral("Korvanta"),
        QStringLiteral("No program could open this address. You can select it here, copy it "
                       "and paste it into a web browser:")};
    static const OpenFailedTexts f{
        QStringLiteral("Korvanta"),
        QStringLiteral("Aucun programme n'a pu ouvrir cette adresse. Vous pouvez la "
                       "sélectionner ici, la copier et la coller dans un navigateur :")};
    static const OpenFailedTexts s{
        QStringLiteral("Korvanta"),
        QStringLiteral("Ningún programa pudo abrir esta dirección. Puede seleccionarla aquí, "
                       "copiarla y pegarla en un navegador:")};
    if (code == QLatin1String("F")) return f;
    if (code == QLatin1String("S")) return s;
    return e;
}
