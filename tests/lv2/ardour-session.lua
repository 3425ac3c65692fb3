-- Run by ardour7-lua: a session on the Dummy backend with two MIDI tracks
-- playing an instrument plug-in by URI, one as the plug-in starts and one
-- with a preset applied, each bounced through the instrument to audio files.
-- Arguments: the session folder (made here); the pattern, one note a line
-- (start tick, length in ticks, channel 0-15, note, velocity; 1920 ticks a
-- beat); the plug-in's URI; the preset's URI; the sample rate; the length of
-- the renders in frames; and the file that receives, for each track, its
-- name, its left and its right file, each on a line of its own.
local folder, patternPath, pluginUri, presetUri = arg[1], arg[2], arg[3], arg[4]
local kRate, kFrames, listPath = tonumber(arg[5]), tonumber(arg[6]), arg[7]
assert(listPath, "usage: ardour-session.lua FOLDER PATTERN PLUGIN PRESET RATE FRAMES LIST")

assert(not AudioEngine:set_backend("None (Dummy)", "", ""):isnil(), "no Dummy backend")
assert(create_session(folder, "tamborik", kRate), "cannot create the session")

local notes = {}
for line in io.lines(patternPath) do
    local start, length, channel, note, velocity = line:match("^(%d+) (%d+) (%d+) (%d+) (%d+)$")
    assert(start, "bad pattern line: " .. line)
    notes[#notes + 1] = {tonumber(start), tonumber(length), tonumber(channel), tonumber(note), tonumber(velocity)}
end

local function newTrack(name)
    local info = ARDOUR.LuaAPI.new_plugin_info(pluginUri, ARDOUR.PluginType.LV2)
    assert(not info:isnil(), pluginUri .. " not found")
    local list = Session:new_midi_track(ARDOUR.ChanCount(ARDOUR.DataType("midi"), 1),
        ARDOUR.ChanCount(ARDOUR.DataType("audio"), 2), true, info, nil, nil, 1, name,
        ARDOUR.PresentationInfo.max_order, ARDOUR.TrackMode.Normal, false, false)
    assert(list:size() == 1, "cannot add the track " .. name)
    local route = list:front()
    assert(not route:the_instrument():isnil(), "the track " .. name .. " has no instrument")
    return route
end

-- A MIDI region holding the pattern, from the bounce of the empty track
-- without processing (the only way to a new MIDI source from Lua here).
local function addPattern(track, name)
    local region = track:bounce_range(0, kFrames, ARDOUR.InterThreadInfo(), ARDOUR.LuaAPI.nil_proc(), false,
        name, false)
    assert(not region:isnil() and not region:to_midiregion():isnil(), "no MIDI region")
    local model = region:to_midiregion():midi_source(0):model()
    local command = model:new_note_diff_command("pattern")
    for _, n in ipairs(notes) do
        command:add(ARDOUR.LuaAPI.new_noteptr(n[3], Temporal.Beats(0, n[1]), Temporal.Beats(0, n[2]), n[4], n[5]))
    end
    model:apply_command(Session, command)
    track:playlist():add_region(region, Temporal.timepos_t(0), 1, false, 0, 0, false)
end

-- The track plays its playlist as Ardour renders it in the background: wait
-- (up to ten seconds) until a bounce without processing holds every note.
local function waitForPattern(track)
    for _ = 1, 100 do
        local probe = track:bounce_range(0, kFrames, ARDOUR.InterThreadInfo(), ARDOUR.LuaAPI.nil_proc(), false,
            "probe", false)
        if ARDOUR.LuaAPI.note_list(probe:to_midiregion():model()):size() == #notes then return end
        ARDOUR.LuaAPI.usleep(100000)
    end
    error("the pattern does not play on " .. track:name())
end

local function render(route)
    local track = route:to_track()
    waitForPattern(track)
    local region = track:bounce_range(0, kFrames, ARDOUR.InterThreadInfo(), route:the_instrument(), true,
        route:name() .. "-out", false)
    assert(not region:isnil() and not region:to_audioregion():isnil(), "the bounce of " .. route:name() .. " failed")
    return route:name() .. "\n" .. region:source(0):to_filesource():path() .. "\n" ..
        region:source(1):to_filesource():path() .. "\n"
end

local plain = newTrack("default")
local preset = newTrack("preset")
local plugin = preset:the_instrument():to_plugininsert():plugin(0)
local record = plugin:preset_by_uri(presetUri)
assert(record and plugin:load_preset(record), "cannot apply the preset " .. presetUri)
for _, route in ipairs({plain, preset}) do addPattern(route:to_track(), route:name() .. "-pattern") end

local list = assert(io.open(listPath, "w"))
list:write(render(plain), render(preset))
list:close()
close_session()
