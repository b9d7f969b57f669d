#pragma once
// The blocks of a GIF file as a tree of named fields, for the GIF attributes window: header, logical
// screen, global colour table, application extensions (the loop count), each frame with its graphic
// control extension, local colour table and image block, and the trailer. Every node knows the bytes it
// takes in the file; the root holds the file's size.
//
// The window shows the bytes that Save as would write (TIconDocument::EncodeDocumentGif), so what it
// shows is the file itself, never a second account of it. The texts come in both interface languages
// (0 Czech, 1 English; any other index is Czech). No toolkit types.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

enum class TGifNodeKind {
    File,
    Header,
    LogicalScreen,
    GlobalColorTable,
    ApplicationExtension,
    CommentExtension,
    PlainTextExtension,
    Frame,
    GraphicControlExtension,
    LocalColorTable,
    ImageBlock,
    Trailer,
    Unreadable // bytes the walk could not take apart; nothing after them is shown
};

struct TGifField {
    std::string Name;
    std::string Value;
};

struct TGifNode {
    TGifNodeKind Kind = TGifNodeKind::File;
    std::string Title;
    std::size_t Offset = 0; // where the block starts in the file
    std::size_t Bytes = 0;  // how many bytes it takes (a frame: its extensions, table and image)
    std::vector<TGifField> Fields;
    std::vector<TGifNode> Children;

    // The value of the field with this name, or an empty text.
    std::string Field(const std::string& name) const;
};

// Takes the file apart block by block. Never throws: data it cannot follow ends the walk with an
// Unreadable node. The root's Bytes is bytes.size(); its "frames" field counts the frames our GIF
// codec reads from the same bytes (so a file the codec refuses says so).
TGifNode DescribeGif(const std::vector<std::uint8_t>& bytes, int languageIndex);
