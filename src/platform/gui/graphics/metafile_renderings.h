// Costly metafile pictures shown in windows are drawn in full on threads of their own (see
// TMetafile::Draw); a benchmark or a test that measures the paints after them waits here.
#pragma once

// Returns once every such drawing under way has ended; the paints they ask for are then
// waiting in the event queue.
void WaitForMetafileRenderings();
