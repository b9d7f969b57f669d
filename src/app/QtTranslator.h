#pragma once
// Qt's own texts in the interface language: the Yes/No/OK/Cancel buttons of message boxes, the
// file, colour and font dialogs, the edit menus of text fields. While the interface is Czech the
// catalogue qtbase_cs.qm from Qt's translations folder is installed; English needs none, as Qt's
// texts are English. The system locale (LANG) plays no part: the interface language alone decides.

#include <QString>

#include <memory>

class QTranslator;

class TQtTranslator {
  public:
    TQtTranslator();
    ~TQtTranslator();
    TQtTranslator(const TQtTranslator&) = delete;
    TQtTranslator& operator=(const TQtTranslator&) = delete;

    // Installs the catalogue for Czech (0) and removes it for English (1). False when Czech is
    // asked for and the catalogue cannot be read; Qt's texts then stay English.
    bool Apply(int languageIndex);
    // Whether Qt's texts are Czech now.
    bool CzechInstalled() const { return Installed; }

    // Where the catalogue is looked for: Qt's translations folder and the file qtbase_cs.qm.
    static QString CatalogueFolder();
    static QString CatalogueName() { return QStringLiteral("qtbase_cs"); }

  private:
    std::unique_ptr<QTranslator> Czech;
    bool Loaded = false;
    bool Installed = false;
};
