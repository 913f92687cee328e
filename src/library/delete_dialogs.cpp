#include "library/delete_dialogs.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace dvx {

SourceFileDeleteDialog::SourceFileDeleteDialog(std::filesystem::path path, DeleteFile deleteFile,
                                               QWidget* parent)
    : QDialog(parent) {
    setObjectName("frmDialog11");
    setWindowTitle("Delete " + QString::fromStdString(path.string()) + " ?");
    setAttribute(Qt::WA_DeleteOnClose);

    auto* question = new QLabel("Are You Sure?", this);
    question->setObjectName("lblDialog1");
    auto* ok = new QPushButton("DELETE", this);
    ok->setObjectName("OKButton");
    auto* cancel = new QPushButton("CANCEL", this);
    cancel->setObjectName("CancelButton");
    cancel->setDefault(true);  // a stray Enter deletes nothing
    connect(ok, &QPushButton::clicked, this,
            [this, path = std::move(path), deleteFile = std::move(deleteFile)] {
                deleteFile(path);
                accept();
            });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(question);
    layout->addLayout(buttons);
}

}  // namespace dvx
