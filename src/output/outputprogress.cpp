#include "output/outputprogress.h"

#include <QProgressDialog>

using namespace Qt::StringLiterals;

OutputProgress::OutputProgress(const QString &caption, QWidget *owner)
    : m_dialog(std::make_unique<QProgressDialog>(owner))
{
    m_dialog->setObjectName(u"OutputProgress"_s);
    m_dialog->setWindowTitle(caption);
    m_dialog->setLabelText(caption);
    m_dialog->setCancelButtonText(u"Mégsem"_s);
    m_dialog->setWindowModality(Qt::WindowModal);
    m_dialog->setMinimumDuration(800);
    m_dialog->setAutoReset(false);
    m_dialog->setAutoClose(false);
    m_dialog->setValue(0);
}

OutputProgress::~OutputProgress() = default;

RenderProgress OutputProgress::callback()
{
    return [this](int pagesDone, int bandsDone, int bandCount) {
        m_dialog->setMaximum(std::max(1, bandCount));
        m_dialog->setLabelText(u"%1. oldal"_s.arg(pagesDone));
        // The window's events (its Mégsem button) are let through here.
        m_dialog->setValue(std::max(1, bandsDone));
        return !m_dialog->wasCanceled();
    };
}
