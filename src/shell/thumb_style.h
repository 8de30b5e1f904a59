#pragma once

class QAbstractScrollArea;

// Scroll bars whose thumb reads as the thumb: a darker bar on the lighter
// groove. Some styles (Fusion among them) draw the thumb lighter than the
// groove, so on a wide table the strip of groove left over looks like the
// thumb, and the bar seems to run the wrong way. The style belongs to the area.
void use_dark_thumbs(QAbstractScrollArea* area);
