#include "dialogs/PropertyRows.h"

#include "dialogs/SelectLayoutDlg.h"
#include "host/Dialogs.h"
#include "model/SheetSetMessages.h"

QString nameInFile(const TkString& name, const TkString& file) { return QString::fromStdWString(name + L"(" + file + L")"); }

PropertyRow folderRow(const QString& key, const QString& label, const QString& description, const TkString& folder) {
    const QString v = QString::fromStdWString(folder);
    PropertyRow r{PropertyRow::Browse, key, label, description, v, v, {}, {}};
    r.browse = [](QString& value) {
        TkString chosen = vrutBrowseForFolder(ssMessage(25401, L"Browser for Folder"), value.toStdWString());
        if (chosen.empty()) return false;
        value = QString::fromStdWString(chosen);
        return true;
    };
    return r;
}

PropertyRow templateRow(const QString& key, const QString& label, const QString& description, TkString& layout, TkString& handle,
                        TkString& file, QWidget* parent) {
    const QString v = layout.empty() && file.empty() ? QString() : nameInFile(layout, file);
    PropertyRow r{PropertyRow::Browse, key, label, description, v, v, {}, {}};
    r.browse = [&layout, &handle, &file, parent](QString& value) {
        CSelectLayoutDlg pick(parent);
        pick.filePath = file;
        pick.layoutName = layout;
        if (pick.DoModal() != QDialog::Accepted) return false;
        layout = pick.layoutName;
        handle = pick.layoutHandle;
        file = pick.filePath;
        value = nameInFile(layout, file);
        return true;
    };
    return r;
}

PropertyRow templateFileRow(const QString& key, const QString& label, const QString& description, const TkString& file) {
    const QString v = QString::fromStdWString(file);
    PropertyRow r{PropertyRow::Browse, key, label, description, v, v, {}, {}};
    r.browse = [](QString& value) {
        CVrUiNavDialog dialog(ssMessage(26521, L"Select Template"), true);
        dialog.addFilter(L"Drawing Template", L"*.dwt");
        dialog.addFilter(L"Drawing", L"*.dwg *.dxf");
        if (dialog.DoModal() != IDOK || dialog.fileNames().empty()) return false;
        value = QString::fromStdWString(dialog.fileNames().front());
        return true;
    };
    return r;
}

PropertyRow yesNoRow(const QString& key, const QString& label, const QString& description, bool value) {
    const QString v = value ? yesText() : noText();
    return {PropertyRow::Choice, key, label, description, v, v, yesNoChoices(), {}};
}

PropertyRow plainRow(const QString& key, const QString& label, const QString& description, const TkString& value) {
    const QString v = QString::fromStdWString(value);
    return {PropertyRow::Plain, key, label, description, v, v, {}, {}};
}
