#pragma once

#include <gtest/gtest.h>

#include <QSettings>

#include "TestSupport.h"
#include "tabulon/CPrintDlg.h"
#include "tabulon/Printers.h"

namespace grevlon::test {

// A fresh settings file, the PDF printer on A4 portrait as current printer, and dialogs
// that nobody answers unless a test says how.
class PrintFixture : public ::testing::Test {
protected:
    void SetUp() override {
        settingsFile = dir.file(QStringLiteral("settings.ini"));
        qputenv("VOLTARIS_SETTINGS", settingsFile.toLocal8Bit());
        CurrentPrinter() = PrinterSettings{PdfPrinterName(), 9, 1, false, QString()};
        CPrintDlg::setDialogRunner([](QDialog&, QPrinter&) {
            ADD_FAILURE() << "a dialog was shown";
            return false;
        });
    }
    void TearDown() override {
        CPrintDlg::setDialogRunner(nullptr);
        qunsetenv("VOLTARIS_SETTINGS");
    }
    QString stored(const QString& section, const QString& key) const {
        return QSettings(settingsFile, QSettings::IniFormat).value(section + u'/' + key).toString();
    }
    void store(const QString& key, const QString& value) {
        QSettings s(settingsFile, QSettings::IniFormat);
        s.setValue(QStringLiteral("Application printer/") + key, value);
    }

    voltaris::test::TempDir dir;
    QString settingsFile;
};

}  // namespace grevlon::test
