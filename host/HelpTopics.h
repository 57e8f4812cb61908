#pragma once
// The HTML manual that comes with the host: where it is and which page holds a topic. A topic is
// the id of a heading in one of the manual's pages ("new-sheet", "publish"); dialogs and palettes
// name theirs, and F1 and Help buttons open the page there.
#include <QString>
#include <QUrl>

#include "host/VrTypes.h"

// The manual's folder: beside an installed program under share/, or the source tree's
// dist/manual in a build; VORN_MANUAL_DIR overrides both. Empty when there is none.
QString vrHelpFolder();
// Tests point the lookup at a folder of their own; empty restores the search.
void vrSetHelpFolder(const QString& folder);
// The contents page.
QUrl vrHelpContentsUrl();
// The page holding the topic, with the topic as its fragment; the contents page for an empty
// topic; an empty URL when no page has the topic or there is no manual.
QUrl vrHelpTopicUrl(const TkString& topic);
