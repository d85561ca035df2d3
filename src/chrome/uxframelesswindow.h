#pragma once

#include <QRect>
#include <QWidget>

#include <functional>
#include <memory>

namespace Ui {
class UxFramelessWindow;
}

// The program's top-level window: draws its own frame and title bar, resizes itself from its
// edges, moves by its title bar and asks a caller-supplied function before it closes.
class UxFramelessWindow : public QWidget
{
    Q_OBJECT

public:
    explicit UxFramelessWindow(QWidget *parent = nullptr);
    ~UxFramelessWindow() override;

    // The window's tree takes ownership of `w`.
    void setContent(QWidget *w);
    void applyWindowStyle(bool active, bool normalState);

public slots:
    void setWindowTitle(const QString &text);
    void setWindowIcon(const QIcon &ico);
    void setBeforeClosingFunc(std::function<bool()> func);

protected:
    void changeEvent(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    virtual void handleBorderDrag(QMouseEvent *event);

private slots:
    void on_applicationStateChanged(Qt::ApplicationState state);
    void on_minimizeButton_clicked();
    void on_restoreButton_clicked();
    void on_maximizeButton_clicked();
    void on_closeButton_clicked();
    void on_windowTitlebar_doubleClicked();
    void on_otherButton_clicked();

private:
    bool isNormalState() const;
    void showStateButtons(bool maximized);
    void startBorderDrag(const QPoint &globalPos);
    void finishBorderDrag();

    std::unique_ptr<Ui::UxFramelessWindow> ui;
    QRect startGeometry;
    bool mousePressed = false;
    Qt::Edges dragEdges;
    std::function<bool()> beforeClosing;
};
