#pragma once

#include "output/reportoutput.h"

#include <memory>

class QProgressDialog;
class QWidget;

// The progress of a report on its way to a printer or a file: a window with the page being
// done and a "Mégsem" button that stops after that page. It shows only when the output takes
// more than a moment.
class OutputProgress
{
public:
    OutputProgress(const QString &caption, QWidget *owner);
    ~OutputProgress();
    OutputProgress(const OutputProgress &) = delete;
    OutputProgress &operator=(const OutputProgress &) = delete;

    RenderProgress callback();

private:
    std::unique_ptr<QProgressDialog> m_dialog;
};
