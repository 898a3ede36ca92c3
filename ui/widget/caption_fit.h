// Fitting captions into the window's fixed layout, which was drawn for a narrower face than
// most desktops use.
#pragma once

#include <QWidget>
#include <initializer_list>

// Gives the group the first of a condensed, then a smaller (down to 9 pixels), variant of its
// font in which every caption fits its control; pixelSize is the font's size now.
void FitCaptions(int pixelSize, std::initializer_list<QWidget*> group);
