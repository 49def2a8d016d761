#ifndef SYMCONV_SML_SML_FILE_H_
#define SYMCONV_SML_SML_FILE_H_

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "sml/flat_symbol.h"
#include "sml/symbol.h"

class CArchiveWriter;
class CPlatform;
class CPublishQueue;
class CReplacingFile;

/// The path less its last four characters (the extension); empty when it is
/// not longer than that.
std::string WithoutExtension(const std::string& source_path);

/// The output path of a source: the source path less its last four
/// characters (the extension), followed by ".SML".
std::string SmlOutputPath(const std::string& source_path);

/// The symbol name stored in the file: the source path less its last four
/// characters, and of that the part after the last separator.
std::string SmlSymbolName(const std::string& source_path, char separator);
/// The same, as a view into source_path.
std::string_view SmlSymbolNameOf(std::string_view source_path, char separator);

/// Writes fields 1 to 25 of an .SML file (magic, name, the three lists,
/// extents, size, the constant block, origin point) through ar, under
/// symbol_name (symbol.name is not used). The extents are those after the
/// shift.
void WriteSmlContents(CArchiveWriter& ar, std::string_view symbol_name,
                      const CSymbol& symbol);
/// The same for shapes held by value: the same bytes as for the CSymbol
/// with the same shapes and extents.
void WriteSmlContents(CArchiveWriter& ar, std::string_view symbol_name,
                      const CFlatSymbol& symbol);
/// The three lists of symbol (lines, arcs, circles) as a CSymbol's lists
/// write themselves.
void WriteShapeLists(CArchiveWriter& ar, const CFlatSymbol& symbol);

/// Writes the .SML file of one symbol next to its source, replacing any
/// earlier file of that name only once the new one is complete. Throws
/// CFileException (naming the .SML path) when it cannot be created, written
/// or closed; an earlier file then stays untouched. With a queue, the
/// complete file is published by the queue (see CPublishQueue).
void WriteSmlFile(CPlatform& platform, const std::string& source_path,
                  const CSymbol& symbol, CPublishQueue* queue = nullptr);
void WriteSmlFile(CPlatform& platform, const std::string& source_path,
                  const CFlatSymbol& symbol, CPublishQueue* queue = nullptr);
/// The same for an output path formed already: the .SML file's own path
/// (SmlOutputPath of the source), as WriteSmlBytes takes it.
void WriteSmlFileAt(CPlatform& platform, const std::string& output_path,
                    const CSymbol& symbol, CPublishQueue* queue = nullptr);
void WriteSmlFileAt(CPlatform& platform, const std::string& output_path,
                    const CFlatSymbol& symbol, CPublishQueue* queue = nullptr);

/// True when bytes could be the start of an .SML file as WriteSmlFile
/// writes it: they begin with its magic, or are a part of the magic (an
/// empty file included), as a write cut short leaves them.
bool StartsLikeSmlFile(std::string_view bytes);

/// The bytes WriteSmlFile would write for symbol (already measured and
/// shifted) stored under symbol_name, made in memory so that a second thread
/// can encode while the first one writes; *writes gets the sizes of the
/// writes that WriteSmlFile would make. Throws what the encoding throws.
std::string EncodeSmlFile(const std::string& symbol_name, const CSymbol& symbol,
                          std::vector<std::size_t>* writes);
std::string EncodeSmlFile(const std::string& symbol_name,
                          const CFlatSymbol& symbol,
                          std::vector<std::size_t>* writes);

/// Writes bytes made by EncodeSmlFile as WriteSmlFile writes its file: the
/// same temporary, the same writes, the same failures. output_path is the
/// .SML file's own path (SmlOutputPath of the source), formed by the caller.
void WriteSmlBytes(CPlatform& platform, const std::string& output_path,
                   const std::string& bytes,
                   const std::vector<std::size_t>& writes,
                   CPublishQueue* queue = nullptr);
/// Writes the same into a temporary that replaces output_path, left open
/// for its CloseInto (made on one thread, published on another). Throws as
/// WriteSmlBytes does; the temporary is then gone.
std::unique_ptr<CReplacingFile> WriteSmlTemporary(
    CPlatform& platform, const std::string& output_path,
    const std::string& bytes, const std::vector<std::size_t>& writes);

#endif  // SYMCONV_SML_SML_FILE_H_
