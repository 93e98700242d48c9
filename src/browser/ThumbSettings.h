#pragma once
// The list's sort and thumbnail-size settings, their limits, and the cell metrics that follow
// from the thumbnail width.

class ProfileFile;

enum SortType { SortByName = 0, SortBySize = 1, SortByType = 2, SortByDate = 3, SortByPhotoSize = 4 };
enum SortDirection { SortForward = 0, SortBackward = 1 };

struct ThumbSettings {
    static constexpr int kMinSize = 36;
    static constexpr int kMaxSize = 200;

    int sortType = SortByName;
    int sortDirection = SortForward;
    int thumbWidth = 85;
    int thumbHeight = 85;

    ThumbSettings clamped() const;
    // Reads section "Thumb" (missing keys give the defaults), clamped.
    static ThumbSettings read(const ProfileFile& file);
    void write(ProfileFile& file) const;
};

struct CellMetrics {
    int frameWidth = 0;  // b
    int margin = 0;      // c
    int cellWidth = 0;
    int cellHeight = 0;
};

// Frame width for a picture whose larger side (or the thumbnail width) is `size`.
int frameWidthFor(int size);
CellMetrics cellMetricsFor(int thumbWidth);

// The status-bar slider position 0..100 as a square thumbnail size.
int thumbSizeFromSlider(int position);
