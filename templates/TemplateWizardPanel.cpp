// SPDX-License-Identifier: GPL-2.0-or-later
#include "templates/TemplateWizardPanel.h"

#include "ui_TemplateWizardPanel.h"

#include "platform/Alert.h"
#include "platform/Document.h"
#include "platform/DocumentController.h"
#include "platform/FileManager.h"
#include "platform/ProgressPanel.h"
#include "platform/SavePanel.h"
#include "platform/Settings.h"
#include "templates/TemplateFolder.h"
#include "templates/TemplateList.h"
#include "templates/VariableView.h"

#include <QHeaderView>
#include <QMainWindow>
#include <QScrollBar>

namespace {

const QString ChooseTitle = QStringLiteral("Choose a Template...");
constexpr int IconColumnWidth = 44;
constexpr int RowHeight = 40;

QString typeOf(const QVariantMap &variable)
{
    return variable.value(QStringLiteral("TPVType")).toString();
}

} // namespace

TemplateWizardPanel::TemplateWizardPanel(QMainWindow *documentWindow, const std::function<void()> &widgetMade)
    : QDialog(documentWindow)
    , ui(std::make_unique<Ui::TemplateWizardPanel>())
    , m_templates(new TemplateList(this))
    , m_documentWindow(documentWindow)
    , m_widgetMade(widgetMade)
{
    ui->setupUi(this);
    setWindowModality(Qt::WindowModal);
    ui->tableView->setModel(m_templates);
    ui->tableView->horizontalHeader()->setSectionResizeMode(TemplateList::IconColumn, QHeaderView::Fixed);
    ui->tableView->horizontalHeader()->resizeSection(TemplateList::IconColumn, IconColumnWidth);
    ui->tableView->verticalHeader()->setDefaultSectionSize(RowHeight);
    connect(ui->tableView, &QAbstractItemView::doubleClicked, this, &TemplateWizardPanel::okButton);
    connect(ui->okButton, &QPushButton::clicked, this, &TemplateWizardPanel::okButton);
    connect(ui->cancelButton, &QPushButton::clicked, this, &TemplateWizardPanel::cancelButton);
    connect(ui->openButton, &QPushButton::clicked, this, &TemplateWizardPanel::openButton);
}

TemplateWizardPanel::~TemplateWizardPanel() = default;

void TemplateWizardPanel::showEvent(QShowEvent *event)
{
    if (isChoosing()) {
        m_templates->refresh();
        if (m_templates->rowCount() > 0)
            ui->tableView->selectRow(0);
    }
    QDialog::showEvent(event);
}

bool TemplateWizardPanel::isChoosing() const
{
    return ui->titleView->text() == ChooseTitle;
}

int TemplateWizardPanel::selectedRow() const
{
    const QModelIndexList rows = ui->tableView->selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.first().row();
}

void TemplateWizardPanel::okButton()
{
    const int row = selectedRow();
    if (row < 0)
        return;
    if (isChoosing())
        enterCustomizeStage(m_templates->nameAt(row));
    else
        makeWidget();
}

void TemplateWizardPanel::enterCustomizeStage(const QString &templateName)
{
    ui->titleView->setText(templateName);
    const QList<QVariantMap> variables = TemplateFolder::variableList(templateName);
    ui->infoTextView->setText(tr("Customize your widget."));
    ui->tableView->hide();
    ui->inputView->show();

    int total = 0;
    for (const QVariantMap &variable : variables)
        total += VariableView::heightForType(typeOf(variable));
    auto *area = new QWidget;
    area->setObjectName(QStringLiteral("documentView"));
    area->setFixedSize(VariableView::Width, std::max(total, MinimumAreaHeight));
    int placed = 0;
    // Stacked from the top, each view directly below the one before.
    for (const QVariantMap &variable : variables) {
        VariableView *view = VariableView::makeForType(typeOf(variable));
        if (!view)
            continue;
        view->setParent(area);
        view->move(0, placed);
        view->setInfoDictionary(variable);
        placed += view->height();
    }
    ui->inputView->setWidget(area);
    ui->inputView->verticalScrollBar()->setValue(0);
    // The user can type the first value at once.
    if (const QList<VariableView *> views = variableViews(); !views.isEmpty())
        views.first()->setFocus(Qt::OtherFocusReason);
}

QWidget *TemplateWizardPanel::documentView() const
{
    return ui->inputView->widget();
}

QList<VariableView *> TemplateWizardPanel::variableViews() const
{
    QWidget *area = documentView();
    return area ? area->findChildren<VariableView *>(Qt::FindDirectChildrenOnly) : QList<VariableView *>();
}

void TemplateWizardPanel::makeWidget()
{
    const QString name = ui->titleView->text();
    const QList<QVariantMap> variables = TemplateFolder::variableList(name);
    const QString target = SavePanel::run(this, {tr("Save New Widget"), QStringLiteral("wdgt"), {}, name});
    if (target.isEmpty()) {
        cancelButton();
        return;
    }
    // The Save panel asked before an existing widget is replaced; it is
    // replaced only once the copy is whole and every value is in, so a
    // widget that cannot be filled in is not made at all.
    const QList<VariableView *> views = variableViews();
    const auto fillIn = [&variables, &views](const QString &staged) {
        const QString settings = staged + QStringLiteral("/template.plist");
        if (const Outcome removed = FileManager::removeItem(settings); !removed && FileManager::isOccupied(settings))
            return removed;
        qsizetype next = 0;
        for (const QVariantMap &variable : variables) {
            if (VariableView::heightForType(typeOf(variable)) <= 0 || next == views.size())
                continue;
            VariableView *view = views.at(next++);
            // No one sees the copy before it is whole: its files need no temporary twins.
            view->setWriting(FileManager::Writing::InPlace);
            if (const Outcome saved = view->saveToPath(staged, variable); !saved)
                return saved;
        }
        return Outcome();
    };
    Outcome made;
    {
        ProgressPanel progress(this, tr("Making the widget…"));
        made = FileManager::copyItemReplacing(
            TemplateFolder::templateBundlePath(name), target, [&progress] { progress.step(); }, fillIn);
    }
    // A failed make replaced nothing.
    Alert::report(this, tr("The widget could not be made from “%1”.").arg(name), made);
    if (!made)
        return;
    Document *document = DocumentController::shared().documentForWindow(m_documentWindow);
    document->setFileURL(QUrl::fromLocalFile(target));
    Settings::shared().noteRecentDocument(target);
    if (m_widgetMade)
        m_widgetMade();
    finish();
}

void TemplateWizardPanel::finish()
{
    ui->tableView->show();
    ui->inputView->hide();
    QDialog::accept();
}

void TemplateWizardPanel::closeDocument()
{
    if (Document *document = DocumentController::shared().documentForWindow(m_documentWindow))
        document->close();
}

void TemplateWizardPanel::cancelButton()
{
    closeDocument();
    finish();
}

void TemplateWizardPanel::openButton()
{
    closeDocument();
    finish();
    DocumentController::shared().openDocument(nullptr);
}

void TemplateWizardPanel::reject()
{
    cancelButton();
}
