#pragma once

#include <QProxyStyle>

// The application's dark grey look: fixed dark colours over the Fusion style plus the
// application-wide style sheet ":/darkstyle/darkstyle.qss".
//
// Every instance sits on one Fusion style shared for the life of the process. No instance owns
// it, so destroying one proxy never deletes the base under another; when a proxy goes away the
// newest remaining one takes the base's callbacks back.
class UxDarkStyle : public QProxyStyle
{
    Q_OBJECT

public:
    UxDarkStyle();
    ~UxDarkStyle() override;

    // The program's look: this style and the font of the installed language, at 9 pt.
    static void applyToApplication();

    using QProxyStyle::polish;
    void polish(QPalette &palette) override;
    void polish(QApplication *app) override;
};
