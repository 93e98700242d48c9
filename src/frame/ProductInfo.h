#pragma once
// The product's name, version and addresses. The web site is a reserved example domain
// until the product has a real one; every page and the support mailbox derive from it.

#include <QString>

namespace product {

inline const QString kName = QStringLiteral("Kelvra Photo Viewer");
inline const QString kVersionText = QStringLiteral("Version 1.0");

inline const QString kWebSite = QStringLiteral("https://www.kelvra.example");
inline const QString kSupportMailbox = QStringLiteral("support@kelvra.example");

inline QString webSite()
{
    return kWebSite;
}

inline QString helpPage()
{
    return webSite() + QStringLiteral("/help.html");
}

inline QString downloadPage()
{
    return webSite() + QStringLiteral("/download.html");
}

inline QString supportMailbox()
{
    return kSupportMailbox;
}

inline QString supportMailto()
{
    return QStringLiteral("mailto:") + supportMailbox();
}

}  // namespace product
