#pragma once
// Browse rows the properties dialogs share: a folder, a sheet creation template (a layout of a
// drawing template) and a template file, each with its chooser.
#include "dialogs/PropertyGrid.h"

class QWidget;

// "%s(%s)": a layout or block name and its file.
QString nameInFile(const TkString& name, const TkString& file);
PropertyRow folderRow(const QString& key, const QString& label, const QString& description, const TkString& folder);
// The row's value shows layout(file); the chosen layout, handle and file are written to the three.
PropertyRow templateRow(const QString& key, const QString& label, const QString& description, TkString& layout, TkString& handle,
                        TkString& file, QWidget* parent);
PropertyRow templateFileRow(const QString& key, const QString& label, const QString& description, const TkString& file);
PropertyRow yesNoRow(const QString& key, const QString& label, const QString& description, bool value);
PropertyRow plainRow(const QString& key, const QString& label, const QString& description, const TkString& value);
