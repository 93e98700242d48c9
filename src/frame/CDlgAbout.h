#pragma once
// Help > About: the product, its version, where to find it and write to it, and the image
// libraries it is built on.

#include <QDialog>

class QLineEdit;
class QPlainTextEdit;

class CDlgAbout : public QDialog {
    Q_OBJECT
public:
    explicit CDlgAbout(QWidget* parent = nullptr);

    QLineEdit* webSiteField() const { return m_webSite; }
    QLineEdit* mailField() const { return m_mail; }
    QPlainTextEdit* librariesText() const { return m_libraries; }

    // The notices of the libraries the image library is built on.
    static QString librariesNotice();

private:
    QLineEdit* m_webSite = nullptr;
    QLineEdit* m_mail = nullptr;
    QPlainTextEdit* m_libraries = nullptr;
};
