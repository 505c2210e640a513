#pragma once

#include <vector>

class cursor;

// Turns Allegro's keyboard and mouse state into held and click flags per game key and mouse
// button, and the wanted cursor position. The only reader of key[], mouse_x, mouse_y, mouse_b.
class inputObj {
  public:
    // Game key indexes into the key map.
    static constexpr int keyUp = 0;      // W
    static constexpr int keyDown = 1;    // S
    static constexpr int keyLeft = 2;    // A
    static constexpr int keyRight = 3;   // D
    static constexpr int keySpace = 4;   // SPACE, polled but unused
    static constexpr int keyRestart = 5; // F10
    // Mouse button indexes.
    static constexpr int mouseLeft = 0;
    static constexpr int mouseRight = 1;
    static constexpr int mouseMiddle = 2;

    // Fills the key map (W, S, A, D, SPACE, F10), clears every flag, creates the cursor, and
    // hooks Allegro's keyboard and mouse callbacks so that no release goes unseen.
    inputObj();
    // Releases the flag vectors, the key map and the cursor.
    ~inputObj();
    inputObj(const inputObj&) = delete;
    inputObj& operator=(const inputObj&) = delete;

    // One poll. The wanted cursor position is clamped to 0..maxX, 0..maxY (screen pixels).
    // A release sets a click flag, also one whose press fell between two polls. Without
    // tickPending the flags stay latched; with it, a flag holds only a release seen on this poll
    // or latched since the previous tick's poll, so each click is seen by exactly one logic tick.
    void processInput(int maxX, int maxY, bool tickPending);
    // Forgets everything seen so far: no flag set, no release pending, and the release of a key or
    // button pressed before is no click. For a battle coming back from the background, where
    // nothing done meanwhile may act.
    void forget();
    // ESC is held, or was pressed and let go since the last forget: the player wants to quit.
    bool quitAsked() const;
    // How many key presses, of any key, Allegro has reported so far. A press reaching the window
    // proves that it has the keyboard focus.
    static unsigned keyPresses();

    // Called in each poll between reading a key's or button's count of releases and its state,
    // with its key code, or with the button's index and true; null in the game. Lets a test land
    // a release exactly there.
    static void (*betweenReads)(int keyOrButton, bool isButton);

    // The live vectors themselves (owned by this object), not copies.
    std::vector<int>* getKeyMap() const { return keyMap; }
    std::vector<bool>* getKeyWasHit() const { return keyWasHit; }
    std::vector<bool>* getKeyWasClicked() const { return keyWasClicked; }
    std::vector<bool>* getMouseWasHit() const { return mouseWasHit; }
    std::vector<bool>* getMouseWasClicked() const { return mouseWasClicked; }
    // Replace the stored pointers only; return 0.
    int setKeyMap(std::vector<int>* v);
    int setKeyWasHit(std::vector<bool>* v);
    int setKeyWasClicked(std::vector<bool>* v);
    int setMouseWasHit(std::vector<bool>* v);
    int setMouseWasClicked(std::vector<bool>* v);

    void getNumberOfKeys(int& n) const { n = numberOfKeys; }
    void setNumberOfKeys(int n) { numberOfKeys = n; }
    void getInputWait(int& w) const { w = inputWait; }
    void setInputWait(int w) { inputWait = w; }
    // True when the mouse moved or a button was down more recently than a game key.
    void getMouseUsedLast(bool& m) const { m = mouseUsedLast; }
    void setMouseUsedLast(bool m) { mouseUsedLast = m; }
    void getKeyWasHitThisFrame(bool& k) const { k = keyWasHitThisFrame; }
    void setKeyWasHitThisFrame(bool k) { keyWasHitThisFrame = k; }

    // The game cursor, owned by this object.
    class cursor* getCursor() const {
        return cursor;
    }
    // Replaces the stored pointer only; returns 0.
    int setCursor(class cursor* c);

  private:
    std::vector<int>* keyMap;
    std::vector<bool>* keyWasHit;
    std::vector<bool>* keyWasClicked;
    std::vector<bool>* mouseWasHit;
    std::vector<bool>* mouseWasClicked;
    int numberOfKeys;
    int inputWait;
    bool mouseUsedLast;
    bool keyWasHitThisFrame;
    class cursor* cursor;

    // What a poll keeps of one key or button besides its flags.
    struct latch {
        bool waiting = false;      // a release latched since the last poll with a tick pending
        unsigned releasesSeen = 0; // Allegro's count of its releases at the last poll
    };
    std::vector<latch> keyLatches;
    std::vector<latch> mouseLatches;
    int lastMouseX, lastMouseY; // screen pixels at the last poll
    unsigned escReleasesSeen;

    // Updates one key's or button's flags from whether it is down and Allegro's release count.
    static void updateFlags(std::vector<bool>& wasHit, std::vector<bool>& wasClicked, latch& l,
                            int index, bool down, unsigned releases, bool tickPending);
};
