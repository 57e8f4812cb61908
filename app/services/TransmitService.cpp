#include "app/services/TransmitService.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QFormLayout>
#include <QLineEdit>
#include <QSettings>

#include "host/Dialogs.h"
#include "host/Progress.h"
#include "host/UiBase.h"

namespace {

QString q(const TkString& s) { return QString::fromStdWString(s); }

// The setups are kept per sheet set, under its folder and name.
QString setupKey(const TkString& setFile) {
    QFileInfo fi(q(setFile));
    return "Transmittal/" + QString(fi.absolutePath() + "/" + fi.completeBaseName()).toUtf8().toBase64(QByteArray::Base64UrlEncoding);
}

}  // namespace

int VornTransmitService::transmit(const VrTransmittalJob& job) {
    if (job.drawings.empty()) return 0;
    QSettings settings("Vorn", "Vorn");
    const QString key = setupKey(job.sheetSetFile);
    const QString folder = settings.value(key + "/Folder", QFileInfo(q(job.sheetSetFile)).absolutePath()).toString();
    CVrUiNavDialog dialog(L"Transmit", false);
    dialog.addFilter(L"Zip package", L"*.zip");
    dialog.setInitialFolder(folder.toStdWString());
    if (dialog.DoModal() != IDOK || dialog.fileNames().empty()) return 0;
    TkString zip = dialog.fileNames().front();
    if (QFileInfo(q(zip)).suffix().isEmpty()) zip += L".zip";
    settings.setValue(key + "/Folder", QFileInfo(q(zip)).absolutePath());
    TransmittalOutcome outcome;
    vrRunWithProgress(L"Transmit", L"Packing the sheet set into " + zip, [&](VrProgress&) { outcome = writeTransmittal(job, zip); });
    if (!outcome.ok()) {
        VrUiMessageBox(L"Transmit", outcome.error, MB_OK | MB_ICONWARNING);
        return 0;
    }
    TkString text = std::to_wstring(outcome.added.size()) + L" files packed into " + zip + L".";
    if (!outcome.missing.empty()) {
        text += L"\nMissing, not packed:";
        for (size_t i = 0; i < outcome.missing.size() && i < 12; ++i) text += L"\n" + outcome.missing[i];
    }
    VrUiMessageBox(L"Transmit", text, MB_OK | (outcome.missing.empty() ? MB_ICONINFORMATION : MB_ICONWARNING));
    return static_cast<int>(outcome.added.size());
}

int VornTransmitService::transmittalSetups(const TkString& path) {
    QSettings settings("Vorn", "Vorn");
    const QString key = setupKey(path + L".dst");
    CVrUiDialog dlg(vredGetVornFrame());
    dlg.setDialogName("Vorn:TransmittalSetups");
    dlg.setHelpTopic(L"transmittal-setups");
    dlg.setWindowTitle("Transmittal Setups");
    auto* folder = new QLineEdit(settings.value(key + "/Folder", QFileInfo(q(path)).absolutePath()).toString(), &dlg);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dlg);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dlg, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dlg, &QDialog::reject);
    auto* form = new QFormLayout(&dlg);
    form->addRow("Put packages in:", folder);
    form->addRow(buttons);
    dlg.resize(480, 120);
    if (dlg.DoModal() != QDialog::Accepted) return 0;
    settings.setValue(key + "/Folder", folder->text().trimmed());
    return 1;
}
