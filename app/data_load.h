// The catalogue's data path on a thread of its own: the container decoded, the database loaded
// and the tree model built while the start-up thread makes the window's data-free part.
#pragma once

// The data path on the calling thread: the container decoded, the database loaded and the tree
// model built.
void loadCatalogue();
// Starts the thread; the platform seam must be filled first. Without a thread (none could be
// made) the data is loaded here, before the call returns.
void startDataLoad();
// Waits for the data, meanwhile taking the page faults of the loader's record arrays. A failure
// on the loading thread was only noted there: it is shown and ends the process here, with the
// status and standard-error text it would have had on its own.
void finishDataLoad();
// Milliseconds the data path itself took, from its start to the loaded database.
double dataLoadMilliseconds();
