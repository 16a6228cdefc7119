#pragma once

#include <libxml/tree.h>

#include "data/TripRecord.h"
#include "data/XMLDocument.h"

// How one trip is held by a FishData element of the catch file (private to the data subsystem:
// its nodes are libxml2's).  Line breaks are LF in memory and CR LF in the file.

// The trip record held by one FishData element.
CTripRecord ReadTripElement(const CXMLDataFile& file, xmlNodePtr tripElement);
// Appends the twelve children of a trip to an (empty) FishData element; 0 on success.
int WriteTripElement(CXMLDataFile& file, xmlNodePtr tripElement, const CTripRecord& trip);

// Appends the FishData element of a trip as UTF-8 bytes, exactly as the document path above
// serializes it in a UTF-8 file, without building a document; false (out unchanged) when a text
// is not valid UTF-8.  asGiven, when given, says whether the trip reads back as it is (see
// TripAsReadBack).
bool AppendTripElementUtf8(const CTripRecord& trip, std::string& out, bool* asGiven = nullptr);

// The record a reader gets back from the element AppendTripElementUtf8 writes for trip: texts
// without the characters XML lacks, and a text of blanks only (which the reader takes for
// layout) empty.
CTripRecord TripAsReadBack(const CTripRecord& trip);

// Why trip cannot be stored as it is: the Japanese name of its first text longer than a reader
// keeps (kMaxTripTextBytes) with the length; empty when every text fits.
std::string FindTripTextOverLimit(const CTripRecord& trip);

// The elements whose texts carry line ends (as plain CR LF in the file).
inline const char* const kLineEndElements[] = {"method", "memo"};
