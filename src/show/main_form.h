// The show's main form: owns the display, the frame timer, the four image
// lists, the moving lines and every tween, and reacts to the viewer (Escape).
// Its methods live in one file per concern: main_form.cpp (creation, frame,
// closing), stages.cpp, scene.cpp, sequencer.cpp, text_lines.cpp, sea_line.cpp,
// captions.cpp and soundtrack.cpp.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "core/object.h"
#include "fx/fx_color.h"
#include "fx/fx_event.h"
#include "fx/fx_sinus.h"
#include "platform/audio.h"
#include "platform/platform_services.h"
#include "render/dib.h"
#include "render/display_form.h"
#include "render/dx_draw.h"
#include "render/dx_timer.h"
#include "render/image_list.h"
#include "show/invitation.h"
#include "show/text_effect.h"

class TPicture;

// The font every glyph and caption is lettered in, bold.
inline constexpr const char* kLetteringFont = "Verdana";

// Ends the program at once from inside start-up (the wrong audio library).
struct ProgramHalt {
    int ExitCode = 1;
};

class TMainForm : public TComponent, public DisplayForm {
public:
    // Builds the form from its stored settings and runs FormCreate for Content
    // (the built-in invitation unless told otherwise). ExecutableFolder is the
    // executable's folder with its trailing slash; the data folder lies in it.
    TMainForm(PlatformServices& Platform, AudioFacility& Audio, const std::string& ExecutableFolder,
              Invitation Content = Invitation());
    // FormDestroy, then the components.
    ~TMainForm() override;
    std::string ClassName() const override { return "TMainForm"; }

    // Opens the window; the display initializes on this first showing.
    void Show();
    // Closes the form: FormClose, then the application's loop ends.
    void Close();
    bool FormActive() const override;
    // The invitation the form plays.
    const Invitation& Content() const { return FInvitation; }
    // The number of text lines; the sea line follows them in Lines, then the three wave streaks.
    int32_t TextLineCount() const { return static_cast<int32_t>(FInvitation.Lines.size()); }

    // Stored settings of the form.
    std::string Caption = "ZQ";
    int ClientWidth = 800;
    int ClientHeight = 600;

    // Components, made from the stored settings before FormCreate.
    TDXDraw* DS = nullptr;
    TDXTimer* DXTimer = nullptr;
    TDXImageList* ImageList = nullptr;
    TDXImageList* BlendList = nullptr;
    TDXImageList* charlist = nullptr;
    TDXImageList* yearlist = nullptr;

    // Fields, in declaration order.
    std::string GraphPath;
    std::unique_ptr<std::vector<std::unique_ptr<TTextEffect>>> Lines;
    TFxEvent* DawnFade = nullptr;
    uint8_t Stage = 0;
    TFxEvent* BoatTravel = nullptr;
    float BoatPos = 0;
    uint32_t MusicStream = 0;
    int32_t LineIndex = 0;
    TFxEvent* BoatDelay = nullptr;
    TFxEvent* DawnDelay = nullptr;
    TFxEvent* Star1 = nullptr;
    TFxEvent* Star2 = nullptr;
    TFxEvent* MoonTravel = nullptr;
    TFxColor* SeaColor = nullptr;
    TFxEvent* BoatAlpha = nullptr;
    TFxEvent* CharPulse = nullptr;
    TFxEvent* SunRise = nullptr;
    int32_t SunAngle = 0;
    TFxEvent* YearDelay = nullptr;
    TFxEvent* YearSlide = nullptr;
    int32_t Year = 0;
    TFxEvent* DateSlide = nullptr;
    TFxEvent* TimeSlide = nullptr;

    // [SECTION] Handlers (main_form.cpp)
    void FormCreate(TObject* Sender);
    void FormDestroy(TObject* Sender);
    void FormClose(TObject* Sender);
    void FormKeyDown(TObject* Sender, uint16_t Key);
    void DSMouseDown(TObject* Sender);
    void DSInitialize(TObject* Sender);
    void DSFinalize(TObject* Sender);
    // One frame: draws the whole scene and presents it.
    void DXTimerTimer(TObject* Sender, int32_t LagCount);

    // [SECTION] Stages (stages.cpp)
    // Switches the scene to NewStage: drops and loads images, starts the stage's tweens.
    void SetStage(uint8_t NewStage);
    // Adds the 26 night-to-day blend items to BlendList, their pictures still empty.
    void PrepareBlends();
    // Mixes the first blend picture not made yet (one per night frame; the dawn
    // makes any left at once). False when all are made.
    bool MakeNextBlend();
    // Writes into Dest the mix of the two backgrounds at Step (0 day to 25 night).
    void BlendPictures(TPicture& Day, TPicture& Night, TPicture& Dest, int32_t Step);

    // [SECTION] Scene (scene.cpp)
    // Draws everything but the running text and advances the tweens it draws with.
    void DrawScene();
    // The path of the sea line (the item of Lines after the text lines).
    TSinus& SeaLine() const;

    // [SECTION] Sequencer (sequencer.cpp)
    // The one OnDone handler: starts whatever follows the tween that just ended.
    void EffectDone(TObject* Sender);

    // [SECTION] Text lines (text_lines.cpp)
    // Consumes the next character (or marker) of Text into Line; False once Text is used up.
    bool BuildLine(TTextEffect& Line, const std::string& Text);
    // Shapes, places and starts a line's path (ItemCount 0 keeps the count).
    void InitSinus(TSinus& Sinus, bool RowPath, int32_t ItemCount, int32_t Slot, int32_t Duration);
    // Draws a free screen row 1 to 6 for the line at Index and gives it to the line.
    int32_t PickLineSlot(int32_t Index);
    // Draws the running text lines letter by letter and advances their paths.
    void DrawCharacters();

    // [SECTION] The endless sea line (sea_line.cpp)
    // Moves the sea line's row back by whole item steps before its end can come on screen.
    void KeepSeaAcrossScreen();
    // Carries the sea line on from where it stands when its run has ended.
    void ContinueSeaLine(TSinus& Sea);

    // [SECTION] Captions and glyphs (captions.cpp)
    // Renders the character at the line's parse cursor into a new charlist image.
    void MakeGlyph(const TTextEffect& Line, const std::string& Text);
    // Replaces yearlist image 1 with a caption of Year, then counts Year up.
    void RenderYearCaption();
    // Appends the date and the time captions to yearlist.
    void RenderDateCaption();

    // [SECTION] Soundtrack (soundtrack.cpp)
    // Opens and starts the music, reporting each failure.
    void PlaySoundtrack(const std::string& FileName);
    // Shows an audio failure with the library's error code.
    void ShowAudioError(const std::string& Msg);

private:
    void LoadStoredSettings();
    TFxEvent* NewEvent(int32_t ValueIn, int32_t ValueOut, int32_t Duration, TFxMethod Method);
    void CreateEvents();
    void BuildLines();
    void DrawPolyline(const TTextEffect& Line);
    void DrawLineCharacters(const TTextEffect& Line);
    void DrawDayScene();
    void DrawNightScene();
    void DrawNightBackground();
    void DrawSun();
    void AdvanceBoat();
    void DriftBoat();
    void DrawBoat(int32_t Position);
    void FinishedLine(TObject* Sender);
    void StopAtLastYear();
    TPictureCollectionItem* Scene(const std::string& Name) const;
    void AddSceneImage(const std::string& Name);
    const std::string& SceneFile(const std::string& Name) const;

    // Set once the sea line has first moved back: from then on the paused boat
    // keeps its screen x exactly instead of summing 3.4 a frame in a float.
    bool FBoatHeld = false;
    // The glyph pictures lettered so far, by character and colour, while the lines are built.
    std::map<std::pair<std::string, uint32_t>, std::unique_ptr<TDIB>> FGlyphPictures;
    PlatformServices& FPlatform;
    AudioFacility& FAudio;
    std::string FExecutableFolder;
    Invitation FInvitation;
};
