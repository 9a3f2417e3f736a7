// The factory chords of the folder Acordes: common open chords of a
// standard-tuned guitar, written as chord files the chord panel loads.
#pragma once

#include <string>
#include <vector>

#include "guitar/guitar_records.h"
#include "platform/files/atomic_file.h"

struct FactoryChord {
  const char* name;  // the file name without ".aco"
  int frets[6];      // strings 6..1; -1 = the string is not played
};

// The chords, in the order of the list.
const std::vector<FactoryChord>& FactoryChords();

// The bytes of one factory chord: every played string at strength 5 and mode
// Normal, strummed downwards 5 per cent of a division apart from the lowest
// played string on; an unplayed string has no strength and no delay.
std::vector<uint8_t> FactoryChordBytes(const FactoryChord& chord);

// Adds chordFolder/<name>.aco for every factory chord to `files`.
bool AddFactoryChords(const std::string& chordFolder, std::vector<FileToWrite>* files, std::string* error);

// The factory templates of the folder Plantillas: a few beats of guitar to
// paste into a track (a strummed E, an A minor arpeggio, a muted closing
// stroke), as template files the guitar panel reads.
struct FactoryTemplate {
  const char* name;  // the file name without ".pgt"
  std::vector<TiempoG> beats;
};
const std::vector<FactoryTemplate>& FactoryTemplates();

// Adds templateFolder/<name>.pgt for every factory template to `files`.
bool AddFactoryTemplates(const std::string& templateFolder, std::vector<FileToWrite>* files, std::string* error);
