// The lap chart as screen readers see it: one child per bar, named with its lap number and time.
#pragma once

namespace lapdex::ui {

// Makes Qt's accessibility use the lap chart's interface; once per program, from its constructor.
void installLapChartAccessibility();

}  // namespace lapdex::ui
