// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QDialog>
#include <QPointer>

#include <functional>
#include <memory>

class TemplateList;
class VariableView;
class QMainWindow;
namespace Ui {
class TemplateWizardPanel;
}

/// The sheet a new, untitled document opens with: the user picks a template,
/// fills in its variables (one small view each), names the new widget, and
/// the document gets the widget made from the template. Cancel, and Open
/// (which then runs the Open panel), close the untitled document instead.
///
/// One per document window, its parent; it is window-modal on it.
class TemplateWizardPanel : public QDialog
{
    Q_OBJECT

public:
    /// `widgetMade` is called once the document has its new widget, so that
    /// the window can show its files.
    TemplateWizardPanel(QMainWindow *documentWindow, const std::function<void()> &widgetMade);
    ~TemplateWizardPanel() override;

public slots:
    /// Closing the sheet (Escape, the window's close button) is Cancel.
    void reject() override;

protected:
    /// Lists the installed templates afresh each time the sheet is shown.
    void showEvent(QShowEvent *event) override;

private:
    /// Choose stage with a template selected: go on to its variables.
    /// Customize stage: ask where to save and make the widget.
    void okButton();
    void cancelButton();
    void openButton();

    /// The variable views of the customize stage, top to bottom.
    QList<VariableView *> variableViews() const;
    /// The area the views are stacked in (451 wide, at least 236 high).
    QWidget *documentView() const;
    bool isChoosing() const;

    static constexpr int MinimumAreaHeight = 236;

    void enterCustomizeStage(const QString &templateName);
    void makeWidget();
    void finish();
    void closeDocument();
    int selectedRow() const;

    std::unique_ptr<Ui::TemplateWizardPanel> ui;
    TemplateList *m_templates;
    QPointer<QMainWindow> m_documentWindow;
    std::function<void()> m_widgetMade;
};
