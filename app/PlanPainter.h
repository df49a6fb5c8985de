// Paints the plan library's figure (plan_figure.h) with Qt: the preview and the briefing's chart
// draw the plan with this one code, as the SVG writer renders the same figure.
#pragma once

#include "plan_figure.h"

class QPainter;

// Paints a figure, laid out for some size, in its pixels onto whatever `painter` paints. Texts get
// a pale halo so that a number stays legible where it crosses a track.
void PaintPlanFigure(QPainter& painter, const vestrand::PlanFigure& figure);
