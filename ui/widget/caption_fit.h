// Fitting captions into the window's fixed layout, whose controls are sized for a narrower face
// than most desktops use.
#pragma once

#include <QLineEdit>
#include <QWidget>
#include <initializer_list>

// Gives the group the first of a condensed, then a smaller (down to 9 pixels), variant of its
// font in which every caption fits its control; pixelSize is the font's size now.
void FitCaptions(int pixelSize, std::initializer_list<QWidget*> group);
// The same for a narrow text box: the face in which sample (its widest usual text) fits.
void FitBoxText(int pixelSize, QLineEdit* box, const QString& sample);
