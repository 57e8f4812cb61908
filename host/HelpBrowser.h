#pragma once
// The host's help window: the HTML manual in a text browser with Back, Forward and Contents;
// Escape closes it.
// Dialogs and palettes open it at their topic through vrShowHelp.
#include <QUrl>
#include <QWidget>

#include "host/VrTypes.h"

class QTextBrowser;

class VrHelpBrowser : public QWidget {
public:
    explicit VrHelpBrowser(QWidget* parent = nullptr);
    void showUrl(const QUrl& url);
    QTextBrowser* browser() const { return browser_; }
    // Beside `owner` on its screen, or over it where there is no room.
    void placeBeside(const QWidget* owner);

private:
    QTextBrowser* browser_;
};

// Opens the manual at the topic, the contents for an empty topic or one the manual lacks. While
// a dialog is open the window is the dialog's, so that the dialog's modality leaves it usable;
// otherwise it is the host frame's, one window reused. With a UI responder installed the request
// is recorded instead of shown. Returns the window, null when none was shown.
VrHelpBrowser* vrShowHelp(const TkString& topic);
// The topic named by the widget or its nearest ancestor that names one (dialogs and palettes).
TkString vrHelpTopicOf(const QWidget* widget);
// How a widget names its topic: dialogs and palettes set it through their bases.
inline constexpr const char* kVrHelpTopicProperty = "vrHelpTopic";
