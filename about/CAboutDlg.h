#pragma once

#include "CStaticLink.h"

#include <QDialog>
#include <QRect>
#include <QString>

class QEvent;
class QLabel;
class QPaintEvent;
class QPlainTextEdit;
class QPushButton;
class QShowEvent;

// The About box: a white, captionless, modal dialog with the game's emblem, name, version,
// description, copyright line, web link and an OK button. One object serves one showing:
//     CAboutDlg dlg(mainWindow);
//     dlg.exec();
class CAboutDlg : public QDialog
{
    Q_OBJECT

public:
    explicit CAboutDlg(QWidget* parent = nullptr);
    ~CAboutDlg() override;

    // The box is laid out in dialog units of its 8-point font; these are that font's base units
    // (pixels per 4 units across and per 8 units down) on the platform it was designed on.
    static constexpr int kBaseUnitX = 6;
    static constexpr int kBaseUnitY = 13;
    static constexpr int kWidthUnits = 274;
    static constexpr int kHeightUnits = 129;
    // The thin frame drawn around the client area.
    static constexpr int kBorder = 1;
    // Where the application keeps the emblem picture.
    static constexpr const char* kEmblemResource = ":/daviz/emblem.bmp";
    static constexpr const char* kDescription = "An addictive desktop amusement for those "
                                                "\"spare\" minutes waiting for stuff to happen "
                                                "in windows";

    // Dialog units to client pixels: each edge is rounded on its own, half away from zero.
    static QRect MapDialogRect(const QRect& units);

    const QString& Description() const { return m_strDescription; }

public slots:
    void accept() override;

protected:
    // false: fill the controls from the members; true: read the edit back into the member.
    void DoDataExchange(bool bSaveAndValidate);

    bool eventFilter(QObject* watched, QEvent* e) override;
    void paintEvent(QPaintEvent* e) override;
    void showEvent(QShowEvent* e) override;

private:
    void CenterWindow();
    QLabel* AddStatic(const QString& text, const QRect& units, const char* name);
    void Place(QWidget* control, const QRect& units);

    QString m_strDescription;
    CStaticLink m_wndLink;
    QPlainTextEdit* m_pEdit = nullptr;
    QPushButton* m_pOk = nullptr;
};
