// The floor the running game is measured against: a bare Allegro program in the game's window
// mode (24-bit 640 x 480, keyboard, mouse and a 30 Hz timer) whose loop clears its back buffer to
// the game's background, waits for the retrace and copies the buffer to the screen, and nothing
// else; while its window is in the background it only rests, as long as the paused game does.
// Ends on ESC or the close button, as the game does.

#include <allegro.h>

#include <atomic>

namespace {
// Counted as the game counts its ticks, so that the floor carries the same timer.
std::atomic<int> ticks(0);
std::atomic<bool> closeRequested(false);
std::atomic<bool> away(false);
} // namespace

int main() {
    if (allegro_init() != 0) {
        return 1;
    }
    set_window_title("Arena Battle floor");
    set_close_button_callback([] { closeRequested = true; });
    install_keyboard();
    install_timer();
    install_mouse();
    set_color_depth(24);
    if (set_gfx_mode(GFX_AUTODETECT_WINDOWED, 640, 480, 0, 0) != 0) {
        return 1;
    }
    set_display_switch_callback(SWITCH_OUT, [] { away = true; });
    set_display_switch_callback(SWITCH_IN, [] { away = false; });
    BITMAP* buffer = create_bitmap(SCREEN_W, SCREEN_H);
    install_int_ex([] { ticks++; }, BPS_TO_TIMER(30));
    while (!key[KEY_ESC] && !closeRequested) {
        if (away) {
            rest(20);
            continue;
        }
        clear_to_color(buffer, makecol(32, 32, 32));
        vsync();
        blit(buffer, screen, 0, 0, 0, 0, SCREEN_W, SCREEN_H);
    }
    return 0;
}
END_OF_MAIN()
