// The text of the user manual, in Spanish and in English. The captions of
// the window are not written here: {Name} takes them from the window itself
// in the language of the page (content/manual_book.h).
#include "content/manual_book.h"

const std::vector<ManualChapter>& ManualChapters() {
  static const std::vector<ManualChapter> chapters = {
      {"intro", "Qué es DRAV_PROF", "What DRAV_PROF is",
       R"html(
<p>DRAV_PROF es un metrónomo para el flamenco. No toca un simple «tic»: toca el compás de cada palo con
sonidos grabados (palmas, cajón, nudillos, pies...), con sus acentos, y encadena compases en temas completos
con introducción, repeticiones, cambios de tempo y final.</p>
<p>Cuatro ideas bastan para manejarlo:</p>
<ul>
<li><b>Sonidos</b>: archivos WAV de la carpeta <i>BancoDeSonidos</i>. Cada conjunto de datos elige los que usa
(hasta 64) en su lista de sonidos.</li>
<li><b>Fórmulas</b>: el patrón de un compás. Una fórmula tiene de 1 a 12 tiempos y hasta 16 pistas; cada pista
toca un sonido y en cada tiempo da de 0 a 8 golpes, cada uno con su fuerza (1 a 7).</li>
<li><b>Temas</b>: una lista de entradas. Cada entrada toca una fórmula un número de veces, con su tempo y su
aceleración. El tema tiene además introducción, final, número de partes, orden normal o aleatorio, y el
panorama y el volumen de cada pista.</li>
<li><b>Conjunto de datos</b>: la lista de sonidos, las fórmulas y los temas que se abren y se guardan juntos
(un archivo <i>.vl2</i> de la carpeta <i>datos</i> y su carpeta).</li>
</ul>
<p>Así se ve la ventana al empezar, con el conjunto de fábrica «Original», en una pantalla de 1366x768:</p>
{pic:window@1366x768}
<p>La ventana es un escritorio gris sobre el que flotan los paneles. Los capítulos siguientes explican cada
panel, cada menú y cada tarea, las teclas rápidas y el significado de cada mensaje del programa.</p>
)html",
       R"html(
<p>DRAV_PROF is a metronome for flamenco. It does not play a plain tick: it plays the compás of each palo with
recorded sounds (palmas, cajón, knuckles, feet...), with its accents, and it chains compases into whole songs
with an introduction, repetitions, tempo changes and an ending.</p>
<p>Four ideas are enough to work with it:</p>
<ul>
<li><b>Sounds</b>: WAV files of the folder <i>BancoDeSonidos</i>. Each data set chooses the ones it uses (up to
64) in its sound list.</li>
<li><b>Formulas</b>: the pattern of one compás. A formula has 1 to 12 beats and up to 16 tracks; each track plays
one sound and gives 0 to 8 strokes in each beat, each with its strength (1 to 7).</li>
<li><b>Songs</b>: a list of entries. Each entry plays a formula a number of times, with its tempo and its
acceleration. A song also has an intro, an ending, a number of parts, normal or random order, and the pan and
volume of each track.</li>
<li><b>Data set</b>: the sound list, the formulas and the songs, opened and saved together (a <i>.vl2</i> file
of the folder <i>datos</i> and its folder).</li>
</ul>
<p>This is the window as it opens, with the factory set "Original", on a 1366x768 screen:</p>
{pic:window@1366x768}
<p>The window is a grey desk on which the panels float. The following chapters explain each panel, each menu
and each task, the shortcut keys and the meaning of every message of the program.</p>
)html"},

      {"window", "La ventana, los menús y los paneles", "The window, the menus and the panels",
       R"html(
<p>La barra de menús tiene cuatro menús: {File}, {Ver1}, {Idiomas1} y {Ayuda1}.</p>
{pic:menu:File}
<p>El menú {File} abre y guarda los conjuntos de datos (capítulo «Conjuntos de datos y carpeta de trabajo»):
{Original1}, {Nuevo1}, {Deshacertodo1}, {Abrir2}, {ImportarTEMA1}, {ImportarPELNv1}, {Guardar1},
{Guardarcomo1} y {Salir1}. {Salir1} cierra el programa; si hay cambios sin guardar pregunta antes si se
guardan.</p>
{pic:menu:Ver1}
<p>El menú {Ver1} muestra u oculta cada panel: {Metrnomo1}, {Temas1}, {Frmulas1}, {Pistas1}, {Onda1},
{Sonidos1}, {Afinador1} y {Guitarra1}. La marca junto al nombre dice si el panel está a la vista. Cada panel
tiene además en su esquina superior izquierda una <b>X</b> roja que lo cierra (igual que quitar la marca en
{Ver1}). Un panel se mueve arrastrándolo con el ratón por su fondo. Al empezar se ven {=Metrnomo1},
{=Temas1}, {=Frmulas1} y {=Pistas1}; {=Onda1} y {=Sonidos1} se abren desde {Ver1}.</p>
<p>El menú {Idiomas1} cambia todos los textos de la ventana entre {Espaol1} e {Ingls1}; el menú {Ayuda1} abre
este manual, la página de actualizaciones y la ventana «Acerca de» (capítulo «Idioma y ayuda»).</p>
<p>En una pantalla de 1920x1080 la ventana se abre así:</p>
{pic:window@1920x1080}
<p>Cada panel que se abre busca sitio libre en el escritorio, a lo ancho de la pantalla; solo cuando no cabe
todo, el escritorio se desplaza. Con todos los paneles abiertos, el escritorio entero queda así en una pantalla
de 1366x768:</p>
{pic:desk@1366x768}
<p>y así en una de 1920x1080:</p>
{pic:desk@1920x1080}
<p>Muchas tablas tienen un menú propio que se abre con el botón derecho del ratón: la tabla de temas, la de
fórmulas, la de pistas y las dos listas de sonidos. Se explican con su panel.</p>
<p>Abajo del todo, la barra de estado de la ventana. El cuadro de texto verde del panel {=Metrnomo1} es el
registro: allí el programa escribe lo que va haciendo (tocar, parar, guardar, importar...).</p>
)html",
       R"html(
<p>The menu bar holds four menus: {File}, {Ver1}, {Idiomas1} and {Ayuda1}.</p>
{pic:menu:File}
<p>The {File} menu opens and saves data sets (chapter "Data sets and the working folder"): {Original1},
{Nuevo1}, {Deshacertodo1}, {Abrir2}, {ImportarTEMA1}, {ImportarPELNv1}, {Guardar1}, {Guardarcomo1} and
{Salir1}. {Salir1} closes the program; when there are unsaved changes it first asks whether to save them.</p>
{pic:menu:Ver1}
<p>The {Ver1} menu shows or hides each panel: {Metrnomo1}, {Temas1}, {Frmulas1}, {Pistas1}, {Onda1},
{Sonidos1}, {Afinador1} and {Guitarra1}. The tick beside a name tells whether the panel is shown. Each panel
also has a red <b>X</b> in its top left corner that closes it (the same as removing the tick in {Ver1}). Drag a
panel by its background with the mouse to move it. At start the {=Metrnomo1}, {=Temas1}, {=Frmulas1} and
{=Pistas1} panels are shown; {=Onda1} and {=Sonidos1} are opened from {Ver1}.</p>
<p>The {Idiomas1} menu switches every text of the window between {Espaol1} and {Ingls1}; the {Ayuda1} menu opens
this manual, the update page and the about box (chapter "Language and help").</p>
<p>On a 1920x1080 screen the window opens like this:</p>
{pic:window@1920x1080}
<p>Each panel that opens looks for free room on the desk, across the width of the screen; only when everything
does not fit does the desk scroll. With every panel open, the whole desk looks like this on a 1366x768
screen:</p>
{pic:desk@1366x768}
<p>and like this on a 1920x1080 one:</p>
{pic:desk@1920x1080}
<p>Several tables have a menu of their own, opened with the right mouse button: the song table, the formula
table, the track table and the two sound lists. They are explained with their panel.</p>
<p>At the very bottom is the window's status bar. The green text box of the {=Metrnomo1} panel is the log: the
program writes there what it does (play, stop, save, import...).</p>
)html"},

      {"metronome", "El panel Metrónomo", "The Metronome panel",
       R"html(
<p>El panel {=Metrnomo1} (su título es «{=PanelMetronomo}») tiene el tempo, el clic, los volúmenes, los números
de los tiempos y el registro.</p>
{pic:PanelMetronomo}
<ul>
<li><b>Tempo</b>: la barra vertical de la derecha fija el tempo de la fórmula, de 20 bpm (abajo) a 400 bpm
(arriba). También se puede escribir el tempo en el cuadro de arriba a la izquierda (20 a 400; otros valores no
se toman). Al lado se ve el tempo que suena, con dos decimales. Mientras suena un tema, aquí se ve cómo cambia el
tempo con la aceleración.</li>
<li><b>{Label13}</b>: la lista desplegable elige el sonido del clic, entre los sonidos del conjunto;
«Silencio» quita el clic.</li>
<li><b>Clic</b>: los botones <b>0</b> a <b>6</b> y <b>{SpeedButton10}</b> eligen cómo suena el clic en cada
tiempo. <b>0</b> quita el clic. <b>1</b> da un golpe por tiempo, <b>2</b> dos, y así hasta <b>6</b> golpes por
tiempo (subdivisiones). El primer golpe de un tiempo acentuado suena más fuerte (fuerza 7) que el de un tiempo
sin acento (fuerza 5). <b>{SpeedButton10}</b> da un solo golpe, y sólo en los tiempos acentuados, como el pie
que marca el compás. Al elegir un botón distinto de 0 sin sonido de clic elegido, se toma el primer sonido de la
lista.</li>
<li><b>{Label6}</b>: equilibrio entre el clic y las pistas (0 a 16). Hacia la derecha el clic sube y las pistas
bajan; en el extremo derecho sólo se oye el clic.</li>
<li><b>Volumen general</b>: la barra de abajo y su cuadro (0 a 100) fijan el volumen de salida de la tarjeta de
sonido; la barrita verde lo muestra. Escriba un número de 0 a 100 y pulse Intro.</li>
<li><b>Números de los tiempos</b>: del 1 al 12. Mientras suena, se ilumina el tiempo que suena y la cifra grande
de la derecha lo repite (al contar por acentos, muestra el número del acento).</li>
<li><b>{SpeedButton12}</b> para todo lo que suena (como F12 o Esc).</li>
<li><b>{Label32} {Label33}</b>: el botón aparece en cuanto hay cambios sin guardar en el conjunto de datos, y
guarda el conjunto (pregunta antes). Su sugerencia dice «{botonrec.hint}».</li>
<li><b>Registro</b>: el cuadro de texto verde de abajo.</li>
</ul>
)html",
       R"html(
<p>The {=Metrnomo1} panel (its title reads "{=PanelMetronomo}") holds the tempo, the click, the volumes, the beat
numbers and the log.</p>
{pic:PanelMetronomo}
<ul>
<li><b>Tempo</b>: the vertical slider on the right sets the formula's tempo, from 20 bpm (bottom) to 400 bpm
(top). The tempo can also be typed into the box at the top left (20 to 400; other values are not taken). Beside
it the tempo that sounds is shown with two decimals. While a song plays, you see here how the tempo changes with
the acceleration.</li>
<li><b>{Label13}</b>: the drop-down list chooses the click's sound among the sounds of the set; "Silencio"
(silence) removes the click.</li>
<li><b>Click</b>: the buttons <b>0</b> to <b>6</b> and <b>{SpeedButton10}</b> choose how the click sounds in
each beat. <b>0</b> removes the click. <b>1</b> gives one stroke per beat, <b>2</b> two, and so on up to
<b>6</b> strokes per beat (subdivisions). The first stroke of an accented beat sounds louder (strength 7) than
that of a beat without accent (strength 5). <b>{SpeedButton10}</b> gives a single stroke, on the accented beats
only, like the foot that marks the compás. Choosing a button other than 0 while no click sound is chosen takes
the first sound of the list.</li>
<li><b>{Label6}</b>: the balance between the click and the tracks (0 to 16). Towards the right the click grows
and the tracks fall; at the far right only the click is heard.</li>
<li><b>Master volume</b>: the lower slider and its box (0 to 100) set the output volume of the sound card; the
small green bar shows it. Type a number from 0 to 100 and press Enter.</li>
<li><b>Beat numbers</b>: 1 to 12. While playing, the beat that sounds lights up and the large figure on the right
repeats it (when counting by accents it shows the accent's number).</li>
<li><b>{SpeedButton12}</b> stops whatever plays (like F12 or Esc).</li>
<li><b>{Label32} {Label33}</b>: the button appears as soon as the data set has unsaved changes, and saves the
set (it asks first). Its hint reads "{botonrec.hint}".</li>
<li><b>Log</b>: the green text box at the bottom.</li>
</ul>
)html"},

      {"temas", "El panel Temas", "The Songs panel",
       R"html(
<p>El panel {=Temas1} muestra los temas del conjunto y las entradas del tema elegido, y los toca.</p>
{pic:PanelTemas}
<h3>La tabla de temas</h3>
<p>A la izquierda, la tabla de temas con las columnas {SGTemas:0,0} y {SGTemas:1,0}. Un clic en un tema lo elige:
su lista de entradas, sus opciones, su tempo y el panorama y volumen de sus pistas se cargan, y la primera entrada
queda elegida. El nombre se cambia escribiendo en su celda (hasta 32 letras) una vez elegida la fila.</p>
<p>Debajo: los botones <b>&lt;</b> ({menostema.hint}) y <b>&gt;</b> ({mastema.hint}) pasan al tema anterior o
siguiente, y el cuadro {LabeledEdit1} busca un tema: al escribir, se elige el siguiente tema cuyo nombre empieza
por lo escrito (sin distinguir mayúsculas), buscando desde el tema elegido hacia abajo y luego desde el
principio.</p>
{pic:popup:SGTemas}
<p>El botón derecho del ratón sobre la tabla abre su menú:</p>
<ul>
<li>{Nuevotema1} (Ctrl+N): añade al final un tema vacío, sin entradas, con el tempo de la barra de tempo del
panel {=Metrnomo1} y orden {RadioButton1}. Escriba su nombre en la celda.</li>
<li>{Copiartema1} (Ctrl+C) recuerda el tema elegido; {Pegartema1} (Ctrl+P) lo copia entero encima del tema
elegido (entradas, opciones, panorama y volumen); la celda del nombre queda vacía para escribir el nuevo
nombre.</li>
<li>{Limpiartema1} (Ctrl+L): quita todas las entradas del tema elegido.</li>
<li>{Borrartema1} (Ctrl+B): pregunta y borra el tema (y su pista de guitarra). El único tema de un conjunto no se
borra.</li>
<li>{Ordenarpornombre1} (Ctrl+O): ordena los temas por su nombre.</li>
<li>{Normalizar1} (Ctrl+T): calcula de nuevo, para cada tema, la ganancia con la que su mezcla suena lo más fuerte
posible sin saturar. Lo hace también al guardar y al empezar a tocar un tema.</li>
<li>{UnificaPistas1}: reescribe todas las fórmulas del tema elegido para que cada sonido vaya siempre en la misma
pista; así el panorama y el volumen de una pista valen para el mismo sonido en todo el tema.</li>
<li>{CopiarGuitarra1} y {PegarGuitarra1}: copian la pista de guitarra de un tema a otro (capítulo «La
guitarra»).</li>
</ul>
<p>Ctrl+C, Ctrl+P, Ctrl+L, Ctrl+B y Ctrl+O funcionan cuando la tabla de temas tiene el foco; Ctrl+N y Ctrl+T en
toda la ventana.</p>
<h3>Las entradas del tema</h3>
<p>En el centro, una fila por entrada: {SGSaco:0,0} (el número del compás en que empieza la entrada),
{SGSaco:1,0} (el nombre de la fórmula), {SGSaco:2,0} (el tempo), {SGSaco:3,0} (el número de la fórmula),
{SGSaco:4,0} (cuántas veces seguidas se toca) y {SGSaco:5,0} (la aceleración). La última fila no es una
entrada: marca el final y muestra el compás siguiente al último y el tempo al que se llega.</p>
<ul>
<li><b>{SGSaco:2,0}</b>: en la primera fila es el tempo del tema. En otra fila, escriba un tempo (20 a 400) para
que el tema cambie a ese tempo desde esa entrada; vacío o 0 sigue con el tempo que había. La columna muestra
el tempo en vigor donde cambia.</li>
<li><b>{SGSaco:3,0}</b>: escriba el número de otra fórmula para cambiar la fórmula de la entrada.</li>
<li><b>{SGSaco:4,0}</b>: de 1 a 255 repeticiones seguidas de la fórmula.</li>
<li><b>{SGSaco:5,0}</b>: bpm que el tempo sube (o baja, con un número negativo, de -128 a 127) por cada
compás de la entrada; la subida se reparte entre los tiempos del compás. Así se hace el acelerando típico del
final de unas bulerías.</li>
</ul>
<p>Un valor fuera de estos límites no se guarda. Un clic en una entrada la elige: su fórmula se muestra en el
panel {=Pistas1} y el tema empezará a sonar desde ella.</p>
<h3>Añadir y quitar entradas</h3>
<p>La fórmula que se añade es la última elegida con el ratón o las flechas en el panel {=Frmulas1}; la etiqueta
de abajo lo dice («Añadir F» y su número y nombre). El botón <b>↑+</b> ({Label46} {Label47}) la inserta antes
de la entrada elegida y <b>↓+</b> ({Label42} {Label43}) después; el botón <b>−</b> ({Label40} {Label41}) quita
la entrada elegida. Un tema tiene como mucho 120 entradas.</p>
<h3>Opciones del tema</h3>
<ul>
<li><b>{Partes}</b>: cuántas veces se toca la lista entera. Vacío o 0: se repite hasta que se pare. 1: una vez y
para. 2 o más: ese número de pasadas y para.</li>
<li><b>{Intro}</b>: tiempos de introducción (0 a 12): antes del primer compás suenan ese número de golpes de
clic, uno por tiempo, para entrar a tiempo (cuando el tema empieza desde su primera entrada; con el primer sonido
de la lista si no hay sonido de clic elegido).</li>
<li><b>{Fin}</b>: tiempos de un compás de final (0 a 12) que suena entre una pasada y la siguiente, en silencio
(salvo la guitarra). No suena después de la última pasada.</li>
<li><b>{Label11}</b>: {RadioButton1} toca las entradas en su orden. {RadioButton2} toca compases sueltos de las
entradas en orden aleatorio: en cada pasada cada entrada sale tantas veces como sus {SGSaco:4,0}, un compás cada
vez.</li>
<li><b>{Estereo}</b> / <b>{Mono}</b>: salida en estéreo (con el panorama de cada pista) o en mono.</li>
<li><b>Tempo del tema</b>: la barra vertical de la derecha (20 a 400 bpm) cambia el tempo del tema, es decir el
de su primera entrada; las demás filas se recalculan.</li>
</ul>
<h3>Tocar</h3>
<p>Debajo de las opciones: el nombre del tema, el contador de compases (compás actual de total, y la pasada
mientras suena) y el tiempo transcurrido. Los botones: <b>▶</b> ({BotonPlayComp.hint}) toca el tema desde la
entrada elegida, <b>||</b> ({botonpausa.hint}) hace una pausa y lo reanuda, <b>■</b> ({botonstoptema.hint})
para. El botón <b>{SpeedButton6}</b> ({Label38} {Label39}) exporta el tema a un archivo WAV (capítulo «Exportar
un tema a WAV»).</p>
)html",
       R"html(
<p>The {=Temas1} panel shows the songs of the set and the entries of the chosen song, and plays them.</p>
{pic:PanelTemas}
<h3>The song table</h3>
<p>On the left, the song table with the columns {SGTemas:0,0} and {SGTemas:1,0}. A click on a song chooses it:
its entry list, its options, its tempo and the pan and volume of its tracks are loaded, and its first entry is
chosen. Change the name by typing into its cell (up to 32 letters) once the row is chosen.</p>
<p>Below: the buttons <b>&lt;</b> ({menostema.hint}) and <b>&gt;</b> ({mastema.hint}) step to the previous or
next song, and the box {LabeledEdit1} finds a song: as you type, the next song whose name begins with what you
typed (in any case) is chosen, searching down from the chosen song and then from the top.</p>
{pic:popup:SGTemas}
<p>The right mouse button on the table opens its menu:</p>
<ul>
<li>{Nuevotema1} (Ctrl+N): appends an empty song, without entries, with the tempo of the tempo slider of the
{=Metrnomo1} panel and {RadioButton1} order. Type its name into the cell.</li>
<li>{Copiartema1} (Ctrl+C) remembers the chosen song; {Pegartema1} (Ctrl+P) copies it whole over the chosen song
(entries, options, pan and volume); the name cell is left empty for the new name.</li>
<li>{Limpiartema1} (Ctrl+L): removes every entry of the chosen song.</li>
<li>{Borrartema1} (Ctrl+B): asks, then removes the song (and its guitar track). The only song of a set is not
removed.</li>
<li>{Ordenarpornombre1} (Ctrl+O): sorts the songs by name.</li>
<li>{Normalizar1} (Ctrl+T): finds again, for every song, the gain at which its mix sounds as loud as possible
without clipping. This is also done on saving and when a song starts to play.</li>
<li>{UnificaPistas1}: rewrites every formula of the chosen song so that each sound always sits on the same
track; the pan and volume of a track then apply to the same sound throughout the song.</li>
<li>{CopiarGuitarra1} and {PegarGuitarra1}: copy a song's guitar track to another song
(chapter "The guitar").</li>
</ul>
<p>Ctrl+C, Ctrl+P, Ctrl+L, Ctrl+B and Ctrl+O work while the song table has the focus; Ctrl+N and Ctrl+T in the
whole window.</p>
<h3>The song's entries</h3>
<p>In the middle, one row per entry: {SGSaco:0,0} (the number of the compás at which the entry starts),
{SGSaco:1,0} (the formula's name), {SGSaco:2,0} (the tempo), {SGSaco:3,0} (the formula's number),
{SGSaco:4,0} (how many times in a row it plays) and {SGSaco:5,0} (the acceleration). The last row is no entry:
it marks the end and shows the compás after the last one and the tempo reached.</p>
<ul>
<li><b>{SGSaco:2,0}</b>: on the first row it is the song's tempo. On another row, type a tempo (20 to 400) to have
the song change to that tempo from that entry on; empty or 0 keeps the tempo in force. The column shows the tempo
in force where it changes.</li>
<li><b>{SGSaco:3,0}</b>: type the number of another formula to change the entry's formula.</li>
<li><b>{SGSaco:4,0}</b>: 1 to 255 repetitions of the formula in a row.</li>
<li><b>{SGSaco:5,0}</b>: bpm by which the tempo rises (or falls, with a negative number, -128 to 127) in each
compás of the entry; the rise is spread over the beats of the compás. This makes the accelerando typical of the
end of a bulería.</li>
</ul>
<p>A value outside these limits is not stored. A click on an entry chooses it: its formula is shown in the
{=Pistas1} panel and the song will start playing from it.</p>
<h3>Adding and removing entries</h3>
<p>The formula that is added is the last one chosen with the mouse or the arrow keys in the {=Frmulas1} panel; the
label at the bottom tells it ("Add F" and its number and name). The button <b>↑+</b> ({Label46} {Label47})
inserts it before the chosen entry and <b>↓+</b> ({Label42} {Label43}) after it; the button <b>−</b>
({Label40} {Label41}) removes the chosen entry. A song holds at most 120 entries.</p>
<h3>Song options</h3>
<ul>
<li><b>{Partes}</b>: how many times the whole list plays. Empty or 0: it repeats until stopped. 1: once, then it
stops. 2 or more: that many passes, then it stops.</li>
<li><b>{Intro}</b>: intro beats (0 to 12): before the first compás that many click strokes sound, one per beat,
to come in on time (when the song starts from its first entry; with the first sound of the list when no click
sound is chosen).</li>
<li><b>{Fin}</b>: beats of an ending compás (0 to 12) played between one pass and the next, in silence (but for
the guitar). It does not sound after the last pass.</li>
<li><b>{Label11}</b>: {RadioButton1} plays the entries in their order. {RadioButton2} plays single compases of the
entries in random order: in each pass every entry comes as many times as its {SGSaco:4,0}, one compás each
time.</li>
<li><b>{Estereo}</b> / <b>{Mono}</b>: stereo output (with each track's pan) or mono.</li>
<li><b>Song tempo</b>: the vertical slider on the right (20 to 400 bpm) changes the song's tempo, that is the
tempo of its first entry; the other rows are worked out again.</li>
</ul>
<h3>Playing</h3>
<p>Below the options: the song's name, the compás counter (current compás of the total, and the pass while
playing) and the elapsed time. The buttons: <b>▶</b> ({BotonPlayComp.hint}) plays the song from the chosen entry,
<b>||</b> ({botonpausa.hint}) pauses and resumes, <b>■</b> ({botonstoptema.hint}) stops. The button
<b>{SpeedButton6}</b> ({Label38} {Label39}) exports the song to a WAV file (chapter "Exporting a song to
WAV").</p>
)html"},

      {"formulas", "El panel Fórmulas", "The Formulas panel",
       R"html(
<p>El panel {=Frmulas1} lista las fórmulas del conjunto.</p>
{pic:PanelFormulas}
<p>Columnas: {SGFormulas:0,0} (en rojo si algún tema usa la fórmula, en verde si ninguno; con fondo azul oscuro
la fórmula que se añadirá a los temas), {SGFormulas:1,0} (1 a 12), {SGFormulas:2,0} (hasta 16 letras) e
{SGFormulas:3,0} (el número del primer tiempo, 1 a 12: la cuenta de los tiempos empieza en él; por ejemplo las
bulerías se cuentan desde el 12). Elegida una fila, el nombre, los tiempos y el inicio se cambian escribiendo en
la celda; un número fuera de 1 a 12 no se toma.</p>
<p>Un clic en una fórmula (o moverse con las flechas) la muestra en el panel {=Pistas1} y la hace la fórmula que
se añadirá al tema con los botones del panel {=Temas1}.</p>
<ul>
<li><b>▶</b> ({botonplay.hint}) toca la fórmula elegida en bucle, al tempo del panel {=Metrnomo1};
<b>■</b> ({botonstop.hint}) para.</li>
<li><b>{Label24}</b>: {RBTiempo} numera los tiempos 1, 2, 3...; {RBAcento} los cuenta por acentos: el número
sube en cada tiempo acentuado (por ejemplo 1 1 1 1 1 2 2 3 3 4 4 5 para una soleá con acentos en 3, 6, 8, 10
y 12).</li>
<li><b>{Edit3}</b>: al escribir, elige la siguiente fórmula cuyo nombre empieza por lo escrito.</li>
</ul>
{pic:popup:SGFormulas}
<p>El menú del botón derecho:</p>
<ul>
<li>{Nuevafrmula1}: añade al final una copia de la fórmula elegida, sin nombre; escriba su nombre.</li>
<li>{Copiarfrmula1} recuerda la fórmula elegida; {Pegarfrmula1} la copia encima de la fórmula elegida (golpes,
sonidos, tiempos, inicio y acentos), que conserva su nombre.</li>
<li>{Limpiarfrmula1}: borra todos los golpes de la fórmula; quedan sus sonidos, tiempos, nombre y acentos.</li>
<li>{Borrarfrmula1}: pregunta y borra la fórmula. No se puede borrar una fórmula que usa algún tema, ni la única
fórmula del conjunto.</li>
<li>{Ordenarpornombre2}: ordena las fórmulas por nombre; los temas siguen tocando las mismas fórmulas.</li>
</ul>
)html",
       R"html(
<p>The {=Frmulas1} panel lists the formulas of the set.</p>
{pic:PanelFormulas}
<p>Columns: {SGFormulas:0,0} (red when a song uses the formula, green when none does; on a dark blue background
the formula that will be added to songs), {SGFormulas:1,0} (1 to 12), {SGFormulas:2,0} (up to 16 letters) and
{SGFormulas:3,0} (the number of the first beat, 1 to 12: the count of the beats starts from it; bulerías, for
instance, are counted from 12). Once a row is chosen, change the name, the beats and the start by typing into the
cell; a number outside 1 to 12 is not taken.</p>
<p>A click on a formula (or moving with the arrow keys) shows it in the {=Pistas1} panel and makes it the formula
that the buttons of the {=Temas1} panel add to the song.</p>
<ul>
<li><b>▶</b> ({botonplay.hint}) plays the chosen formula in a loop, at the tempo of the {=Metrnomo1} panel;
<b>■</b> ({botonstop.hint}) stops.</li>
<li><b>{Label24}</b>: {RBTiempo} numbers the beats 1, 2, 3...; {RBAcento} counts by accents: the number rises at
every accented beat (for instance 1 1 1 1 1 2 2 3 3 4 4 5 for a soleá accented on 3, 6, 8, 10 and 12).</li>
<li><b>{Edit3}</b>: as you type, chooses the next formula whose name begins with what you typed.</li>
</ul>
{pic:popup:SGFormulas}
<p>The right-button menu:</p>
<ul>
<li>{Nuevafrmula1}: appends a copy of the chosen formula, without a name; type its name.</li>
<li>{Copiarfrmula1} remembers the chosen formula; {Pegarfrmula1} copies it over the chosen formula (strokes,
sounds, beats, start and accents), which keeps its name.</li>
<li>{Limpiarfrmula1}: clears every stroke of the formula; its sounds, beats, name and accents stay.</li>
<li>{Borrarfrmula1}: asks, then removes the formula. A formula that a song uses cannot be removed, nor the only
formula of the set.</li>
<li>{Ordenarpornombre2}: sorts the formulas by name; the songs keep playing the same formulas.</li>
</ul>
)html"},

      {"pistas", "El panel Pistas: golpes y sonidos", "The Tracks panel: strokes and sounds",
       R"html(
<p>El panel {=Pistas1} es el editor de la fórmula elegida: una fila por pista (16) y una columna por tiempo.</p>
{pic:PanelPistas}
<p>Arriba: la fórmula que se edita, su duración al tempo actual («Duración» en segundos y los milisegundos de un
tiempo) y si la usa algún tema («Usada en Tema» con su número y nombre, o «No está usada»).</p>
<h3>El sonido de cada pista</h3>
<p>La columna {SGDatosFormula:1,0} dice el sonido de cada pista (en gris si la pista está muda o si es
«Silencio»). Haga clic en la celda: aparece una lista con los sonidos del conjunto; elija uno, o «Silencio» para
que la pista no suene. Los sonidos de la lista se cambian en el panel {=Sonidos1}.</p>
<h3>Escribir los golpes</h3>
<p>Cada celda de un tiempo guarda los golpes de esa pista en ese tiempo, escritos con cifras. Elija la celda y
escriba:</p>
<ul>
<li>Cada cifra es un golpe; el tiempo se divide en tantas partes iguales como cifras escriba (hasta 8; lo que
pase de 8 no se toma).</li>
<li>Una cifra de 1 a 7 es un golpe con esa fuerza: 7 es la más fuerte, 1 la más suave (una séptima parte). 0 (o
cualquier otro carácter) es un silencio.</li>
<li>Ejemplos: <b>7</b> un golpe fuerte al principio del tiempo; <b>77</b> dos corcheas; <b>7070</b> golpes en la
primera y la tercera semicorchea; <b>0007</b> sólo la última semicorchea (el contratiempo); <b>777</b> un
tresillo.</li>
<li>Una celda vacía no da golpe nuevo: el sonido anterior sigue sonando. Un silencio al principio tampoco corta
el sonido que suena.</li>
</ul>
<p>Con la casilla <b>{LasNotas}</b> marcada, las celdas se dibujan como figuras de ritmo en lugar de cifras;
desmárquela para ver las cifras.</p>
<h3>Acentos</h3>
<p>Bajo cada columna de tiempo hay una casilla: márquela para acentuar ese tiempo. Los tiempos acentuados salen
en rojo con «&gt;» en la cabecera; con ellos el clic da su golpe fuerte, el botón {SpeedButton10} marca sólo esos
tiempos y la cuenta {RBAcento} del panel {=Frmulas1} sube en ellos. También se marcan con la barra
espaciadora.</p>
<h3>Panorama, volumen, silencio y solo</h3>
<p>En la columna de la izquierda de cada pista:</p>
<ul>
<li>La primera barrita es el <b>panorama</b>: de izquierda a derecha, con el centro en medio (su sugerencia dice
de -16 a 16).</li>
<li>La segunda es el <b>volumen</b> de la pista, de 1 a 16: 8 es el volumen normal, 16 nueve veces más fuerte, 1
la octava parte (la sugerencia dice «x2», «1/3»...).</li>
<li><b>M</b> (mute) silencia la pista; puede haber varias silenciadas.</li>
<li><b>S</b> (solo) deja sonar sólo esa pista y silencia las demás; otra vez S la quita. Sólo hay una pista en
solo a la vez. Pulsar una M quita el solo.</li>
</ul>
<p>El panorama y el volumen de las pistas son del <b>tema</b> elegido en el panel {=Temas1} (cada tema guarda
los suyos); el silencio y el solo no se guardan.</p>
<h3>El menú del botón derecho</h3>
{pic:popup:SGDatosFormula}
<ul>
<li>{Copiarpista1}, {Pegarpista1}, {Limpiarpista1}: copian, pegan o borran los golpes de la pista (la fila)
elegida en todos sus tiempos; el sonido de la pista no se copia. Se puede pegar en otra fórmula.</li>
<li>{Copiartiempo1}, {Pegartiempo1}, {Limpiartiempo1}: lo mismo con el tiempo (la columna) elegido, en las 16
pistas.</li>
</ul>
)html",
       R"html(
<p>The {=Pistas1} panel is the editor of the chosen formula: one row per track (16) and one column per beat.</p>
{pic:PanelPistas}
<p>At the top: the formula being edited, its length at the present tempo ("Length" in seconds and the
milliseconds of one beat) and whether a song uses it ("Used in song" with its number and name, or "It is not
used").</p>
<h3>The sound of each track</h3>
<p>The {SGDatosFormula:1,0} column tells each track's sound (grey when the track is muted or when it is
"Silencio"). Click the cell: a list of the set's sounds appears; choose one, or "Silencio" to keep the track
silent. The sounds of the list are changed in the {=Sonidos1} panel.</p>
<h3>Typing the strokes</h3>
<p>Each cell of a beat holds the strokes of that track in that beat, written as digits. Choose the cell and
type:</p>
<ul>
<li>Each digit is one stroke; the beat is divided into as many equal parts as digits typed (up to 8; anything
beyond 8 is not taken).</li>
<li>A digit 1 to 7 is a stroke of that strength: 7 is the loudest, 1 the softest (one seventh). 0 (or any other
character) is a rest.</li>
<li>Examples: <b>7</b> one loud stroke at the start of the beat; <b>77</b> two eighth notes; <b>7070</b> strokes on
the first and third sixteenth; <b>0007</b> the last sixteenth only (the off-beat); <b>777</b> a triplet.</li>
<li>An empty cell gives no new stroke: the previous sound rings on. A rest at the start does not cut the sound
that rings either.</li>
</ul>
<p>With the <b>{LasNotas}</b> box ticked, the cells are drawn as rhythm notes instead of digits; untick it to
see the digits.</p>
<h3>Accents</h3>
<p>Under each beat column there is a box: tick it to accent that beat. Accented beats show red with "&gt;" in the
header; on them the click gives its loud stroke, the {SpeedButton10} button marks only those beats and the
{RBAcento} count of the {=Frmulas1} panel rises. The space bar ticks them too.</p>
<h3>Pan, volume, mute and solo</h3>
<p>In the left column of each track:</p>
<ul>
<li>The first small slider is the <b>pan</b>: from left to right, with the centre in the middle (its hint shows
-16 to 16).</li>
<li>The second is the track's <b>volume</b>, 1 to 16: 8 is the normal volume, 16 nine times louder, 1 one eighth
(the hint shows "x2", "1/3"...).</li>
<li><b>M</b> (mute) silences the track; several tracks can be muted.</li>
<li><b>S</b> (solo) lets only that track sound and mutes the others; S again removes it. Only one track is solo
at a time. Pressing an M removes the solo.</li>
</ul>
<p>The pan and volume of the tracks belong to the <b>song</b> chosen in the {=Temas1} panel (each song keeps its
own); mute and solo are not saved.</p>
<h3>The right-button menu</h3>
{pic:popup:SGDatosFormula}
<ul>
<li>{Copiarpista1}, {Pegarpista1}, {Limpiarpista1}: copy, paste or clear the strokes of the chosen track (the
row) in all its beats; the track's sound is not copied. You can paste into another formula.</li>
<li>{Copiartiempo1}, {Pegartiempo1}, {Limpiartiempo1}: the same with the chosen beat (the column), over the 16
tracks.</li>
</ul>
)html"},

      {"onda", "El panel Onda", "The Wave panel",
       R"html(
<p>El panel {=Onda1} (se abre desde {Ver1}) dibuja la forma de onda del tiempo que suena: arriba el canal
izquierdo, abajo el derecho. Sirve para ver el equilibrio del panorama y si la mezcla llega al máximo. Al parar
queda una línea plana.</p>
{pic:PanelOnda}
)html",
       R"html(
<p>The {=Onda1} panel (opened from {Ver1}) draws the waveform of the beat that sounds: the left channel above,
the right channel below. It shows the balance of the pan and whether the mix reaches the top. On stop it shows a
flat line.</p>
{pic:PanelOnda}
)html"},

      {"sonidos", "El panel Sonidos", "The Sounds panel",
       R"html(
<p>El panel {=Sonidos1} (se abre desde {Ver1}) lleva en su título el nombre del conjunto de datos abierto.</p>
{pic:PanelSonidos}
<ul>
<li>A la izquierda, la <b>lista de sonidos del conjunto</b>, con su número de sonidos encima. El orden importa:
las pistas de las fórmulas guardan el número del sonido en esta lista. Un clic en un sonido dibuja su forma de
onda abajo.</li>
<li>A la derecha, el <b>{Label16}</b>: todos los archivos WAV de la carpeta BancoDeSonidos. En rojo los que ya
están en la lista del conjunto, en verde los que se pueden añadir, en gris cuando la lista está llena (64
sonidos). La leyenda al pie del panel lo recuerda, «{=LeyendaBanco}», y la sugerencia de la lista lo dice
entero: «{=LBwavs.hint}» Un clic en uno muestra su duración y su forma de onda (si está en la lista). El botón
<b>▶</b> ({SpeedButton1.hint}) lo escucha.</li>
</ul>
{pic:popup:LBIns}
<p>El botón derecho sobre la lista del conjunto abre su menú:</p>
<ul>
<li>{Eliminar1}: quita el sonido de la lista. Cuidado: las pistas guardan el <i>número</i> del sonido y las
fórmulas no se corrigen; los sonidos de debajo suben un puesto, y una pista que usaba uno de ellos toca ahora el
sonido que ha quedado en su número. Quite sonidos del final de la lista, o revise después las fórmulas.</li>
<li>{Arriba1} y {Bajar1}: mueven el sonido un puesto en la lista; las fórmulas se corrigen para que cada pista
siga tocando su sonido. El menú se vuelve a abrir para seguir moviéndolo.</li>
<li>{Cambiar1}: pone en su lugar el sonido elegido en el {=Label16} (si no está ya en la lista): todas las pistas
que usaban el sonido antiguo tocarán el nuevo. El sonido nuevo suena desde la próxima carga de los sonidos (otra
orden de la lista, abrir el conjunto) y llega al archivo con la próxima orden de la lista o al guardar.</li>
</ul>
{pic:popup:LBwavs}
<p>El botón derecho sobre el {=Label16} ofrece {Aadir1}: añade el sonido al final de la lista del conjunto (si
no está ya y cabe).</p>
<p>{Aadir1}, {Eliminar1}, {Arriba1} y {Bajar1} escriben enseguida el archivo .vl2 del conjunto y cargan de nuevo
los sonidos.</p>
)html",
       R"html(
<p>The {=Sonidos1} panel (opened from {Ver1}) carries the name of the open data set in its title.</p>
{pic:PanelSonidos}
<ul>
<li>On the left, the <b>set's sound list</b>, with its number of sounds above it. The order matters: the tracks
of the formulas keep the number of the sound in this list. A click on a sound draws its waveform below.</li>
<li>On the right, the <b>{Label16}</b>: every WAV file of the folder BancoDeSonidos. Red, the ones the set's list
already holds; green, the ones that can be added; grey when the list is full (64 sounds). The legend at the
foot of the panel recalls it, "{=LeyendaBanco}", and the list's hint says it whole: "{=LBwavs.hint}" A click on
one shows its length and its waveform (when it is in the list). The <b>▶</b> button ({SpeedButton1.hint}) plays
it.</li>
</ul>
{pic:popup:LBIns}
<p>The right button on the set's list opens its menu:</p>
<ul>
<li>{Eliminar1}: removes the sound from the list. Take care: tracks keep the <i>number</i> of their sound and
the formulas are not corrected; the sounds below move up one place, and a track that used one of them now plays
the sound left at its number. Remove sounds from the end of the list, or check the formulas afterwards.</li>
<li>{Arriba1} and {Bajar1}: move the sound one place in the list; the formulas are corrected so that every track
keeps playing its sound. The menu opens again to move it on.</li>
<li>{Cambiar1}: puts the sound chosen in the {=Label16} in its place (when the list does not hold it yet): every
track that used the old sound will play the new one. The new sound is heard from the next load of the sounds
(another list command, opening the set) and reaches the file with the next list command or on saving.</li>
</ul>
{pic:popup:LBwavs}
<p>The right button on the {=Label16} offers {Aadir1}: appends the sound to the set's list (when it is not there
yet and there is room).</p>
<p>{Aadir1}, {Eliminar1}, {Arriba1} and {Bajar1} write the set's .vl2 file at once and load the sounds again.</p>
)html"},

      {"guitar", "La guitarra", "The guitar",
       R"html(
<p>El panel {=Guitarra1} acompaña los temas con una guitarra de seis cuerdas escrita en tablatura. Cada tema
puede tener su pista de guitarra. Los compases del tema son los compases de la guitarra (el compás 5 de la pista
suena con el compás 5 del tema); cada compás tiene tantos tiempos como su fórmula; cada tiempo se divide en 1 a
24 partes iguales, las <b>divisiones</b>, y en cada división cada cuerda puede dar una nota.</p>
{pic:PanelGuitarra}
<h3>Abrir la pista de un tema</h3>
<p>Elija el tema en el panel {=Temas1} y abra el panel con {Ver1} &gt; {Guitarra1}. El panel se abre sobre la
pista de ese tema, en el primer tiempo del primer compás, y el tema queda en su primera entrada. Si elige otro
tema con el panel abierto, el panel se cierra y se vuelve a abrir sobre el tema nuevo. {Ver1} &gt; {Guitarra1}
otra vez, o la X roja del panel, lo cierran.</p>
<p>La pista de un tema es el archivo <i>datos/&lt;conjunto&gt;/&lt;tema&gt;.gtr</i>. La etiqueta de arriba muestra
su nombre (su sugerencia, la ruta entera) y su color dice si existe:</p>
<ul>
<li><b>azul</b>: el archivo existe y se ha leído. Si el tema tiene más tiempos que el archivo, el último tiempo del
archivo se repite hasta el final del tema; si tiene menos, los tiempos de más se conservan detrás del último
compás (no se ven, pero se guardan).</li>
<li><b>roja</b>: el tema aún no tiene archivo. La pista empieza vacía, un tiempo vacío por cada tiempo del tema, y
el archivo se crea al guardarla.</li>
</ul>
<p>Una barra «/» del nombre del tema se cambia por un espacio al abrir el panel, porque un nombre de archivo no
puede llevarla; el nombre cambiado se guarda con el conjunto la próxima vez.</p>
<h3>Guardar la pista</h3>
<p>En cuanto la pista tiene cambios sin guardar aparece, a la derecha de la etiqueta, el botón de guardar (su
sugerencia: «{BGuardaG.hint}»); sin cambios, en su lugar hay un cuadro oscuro. El botón pregunta «¿ Quiere
guardar el tema de guitarra» con el nombre del archivo: Sí escribe el archivo (la etiqueta se pone azul); No no
escribe nada y el botón sigue a la vista. Al cerrar el panel con cambios sin guardar (con {Ver1}, con su X, al
elegir otro tema o al salir del programa) se hace la misma pregunta. La pista se guarda aparte del conjunto:
{Guardar1} no la guarda.</p>
<h3>Las dos vistas y cómo se lee la tablatura</h3>
<p>La vista ancha de arriba es el <b>compás</b>: todos los tiempos del compás a la vista, numerados abajo desde 1.
La vista de abajo es el <b>tiempo</b>: el tiempo a la vista, ampliado, con sus divisiones numeradas abajo desde 1.
En las dos, cada línea es una cuerda y el número de la izquierda es el número de la cuerda: 1 la más aguda (mi),
6 la más grave (mi grave).</p>
<p>Cada nota se escribe junto a su cuerda, un poco a la derecha del comienzo de su división. Una nota con
<b>retardo</b> empieza más tarde dentro de su división y se escribe más a la derecha: con un retardo de 50, a
mitad de la división. Así se escribe un rasgueo: en la imagen, las seis cuerdas del primer golpe del tiempo 3
entran una tras otra, de la sexta a la primera. En la vista del compás cada nota es el número de su traste
(0 = cuerda al aire). En la vista del tiempo una estrella marca la nota y su texto dice además cómo se toca:</p>
<table border="1" cellspacing="0" cellpadding="3" width="100%">
<tr><td width="12%"><b>7</b></td><td>Normal: la cuerda pisada en el traste 7; la nota suena entera desde su
ataque.</td></tr>
<tr><td><b>L7</b></td><td>Ligado: el traste 7 sin ataque nuevo; el sonido que tenía la cuerda sigue a la altura
nueva, como un ligado de la mano izquierda.</td></tr>
<tr><td><b>T</b></td><td>Tapado: un golpe corto y apagado, sólo el comienzo de la nota (en esta vista el traste
no se escribe).</td></tr>
<tr><td><b>S</b></td><td>Silencio: la cuerda deja de sonar.</td></tr>
</table>
<p>Una nota suena hasta que se acaba su grabación o hasta que llega otra nota a la misma cuerda: una cuerda sin
nota en una división sigue sonando, también en los tiempos siguientes. Cada nota tiene además una <b>fuerza</b>
de 1 a 7 (7 la más fuerte), que se oye pero no se escribe en las vistas.</p>
<p>La casilla {Label48} muestra cuántas divisiones tiene el tiempo a la vista (de 1 a 24; cada tiempo tiene las
suyas): 2 son corcheas, 3 un tresillo, 4 semicorcheas.</p>
<p>En la vista del compás, una línea vertical marca el tiempo a la vista, con su número debajo de las cuerdas: en
rojo si ese tiempo lleva acento en la fórmula (las casillas de acento del panel {=Pistas1}), en verde si no.</p>
<h3>Moverse por la pista</h3>
<ul>
<li><b>{Label44}</b>: la casilla muestra el compás a la vista y cuántos tiene el tema. Los botones &lt;&lt;
({SpeedButton13.hint}) y &gt;&gt; ({SpeedButton14.hint}) pasan al compás anterior o al siguiente, y la barra de
desplazamiento de debajo de la vista del compás lleva a cualquier compás. Se ve siempre el primer tiempo del
compás nuevo.</li>
<li><b>{Label45}</b>: la casilla muestra el tiempo a la vista y cuántos tiene su compás. Los botones &lt;
({SpeedButton18.hint}) y &gt; ({SpeedButton17.hint}) pasan al tiempo anterior o al siguiente, también del último
tiempo de un compás al primero del siguiente y al revés. Cada tiempo al que se llega así suena una vez, para oír
lo escrito.</li>
<li>Un clic con el botón izquierdo sobre las cuerdas de la vista del compás muestra ese tiempo y lo hace
sonar.</li>
</ul>
<p>En el primer tiempo del primer compás y en el último del último, los botones no hacen nada.</p>
<h3>Marcar tiempos</h3>
<p>Un clic con el botón izquierdo en la franja de los números de tiempo, debajo de las cuerdas de la vista del
compás, marca los tiempos desde el que está a la vista hasta el pulsado, los dos incluidos: una línea roja al
final del último tiempo marcado, con «&gt;» y el número de tiempos marcados (en la imagen, «&gt;4»: del tiempo 3
al 6). Un clic en un tiempo anterior al que está a la vista quita las marcas; pasar a otro tiempo también las
quita. Los tiempos marcados se guardan como plantilla (más abajo).</p>
<h3>Cejilla y orientación</h3>
<ul>
<li><b>Cejilla</b>: los botones <b>-</b> y <b>+</b> de la derecha de la fila ponen la cejilla de 0 a 12 trastes,
y la casilla entre ellos la muestra. Con la cejilla en 2, cada nota suena dos semitonos más aguda que su traste
escrito: los trastes se cuentan desde la cejilla, como en la guitarra. La cejilla vale para todos los temas
mientras el programa está abierto.</li>
<li><b>{CBTab}</b>: marcada (como al empezar), la tablatura de siempre, con la cuerda 1 arriba; sin marcar, las
dos vistas se dan la vuelta y la cuerda 6 queda arriba, como ve la guitarra quien la toca.</li>
</ul>
<h3>El menú de tiempos y compases</h3>
<p>Con el tema parado, un clic con el botón derecho sobre un tiempo de la vista del compás muestra ese tiempo (y
lo hace sonar) y abre este menú. Sus textos están siempre en español y llevan los números del tiempo y del compás
de que se trata; en la imagen, con el tiempo 3 del compás 1 y el compás 1 copiados antes y el botón derecho
sobre el tiempo 5 del compás 2:</p>
{pic:popup:Chart2}
<ul>
<li>{CopiarTiempoG} y el número del tiempo: recuerda el tiempo. No cambia nada.</li>
<li>{PegarTiempoG} y el tiempo y el compás recordados: pone el tiempo recordado en lugar del tiempo a la vista.
Se pega lo que ese lugar de la pista tenga al pegar: si el tiempo copiado cambia antes de pegarlo, se pega
cambiado. Antes de copiar un tiempo no hace nada.</li>
<li>{Insertartiempo1}: inserta un tiempo vacío en el lugar del tiempo a la vista; éste y todos los siguientes
pasan un tiempo más adelante.</li>
<li>{Vaciartiempo1}: deja vacío el tiempo a la vista (una división, sin notas).</li>
<li>{Elminartiempo1}: quita el tiempo a la vista; los siguientes pasan un tiempo atrás y al final de la pista queda
un tiempo vacío.</li>
<li>{CopiarCompasG} y su número: recuerda el compás a la vista.</li>
<li>{PegarCompasG} y los dos números («... en el compás ...»): copia el compás recordado sobre el compás a la vista,
tantos tiempos como tenga éste: si el recordado es más corto, vienen también los tiempos que le siguen; si es más
largo, sólo los primeros. Antes de copiar un compás no hace nada.</li>
<li>{Insertarcompas1}: inserta al principio del compás a la vista tantos tiempos vacíos como tiene; todo lo que
sigue pasa adelante.</li>
<li>{Vaciarcompas1}: deja vacíos todos los tiempos del compás a la vista.</li>
<li>{Eliminarcompas1}: quita los tiempos del compás a la vista; lo que sigue pasa atrás y al final de la pista
quedan otros tantos tiempos vacíos.</li>
</ul>
<p>Los compases no se mueven: están donde los pone el tema. Lo que se mueve son los tiempos, que pasan de un
compás a otro: al insertar un tiempo en el compás 1, su último tiempo pasa a ser el primero del compás 2, y así
hasta el final; el último tiempo de la pista queda detrás del último compás (no se ve, pero se guarda). Cada
cambio muestra el botón de guardar.</p>
<h3>Plantillas</h3>
<p>Una plantilla es un trozo de pista guardado aparte para usarlo en otros temas: un rasgueo, una falseta, un
remate. Son archivos <i>.pgt</i> de la carpeta <i>Plantillas</i>. Los dos botones que siguen al de guardar:</p>
<ul>
<li><b>{AbrePlantilla.hint}</b>: elige una plantilla y escribe sus tiempos desde el tiempo a la vista en adelante,
encima de los que había (si pasa del final, la pista crece).</li>
<li><b>{RecPlantilla.hint}</b>: sólo con tiempos marcados (si no, lo tapa un cuadro oscuro). Guarda los tiempos
marcados en un archivo; si el nombre no termina en .pgt, se le añade. La pista no cambia.</li>
</ul>
<p>Pegar una plantilla cambia la pista: se enciende el botón de guardar y, al cerrar el panel, el programa
pregunta si quiere guardarla.</p>
<h3>Copiar la pista de un tema a otro</h3>
<p>El menú del botón derecho de la tabla de temas (capítulo «{=Temas1}») tiene {CopiarGuitarra1} y
{PegarGuitarra1}. Elija el tema de origen y pulse {CopiarGuitarra1}; elija el tema de destino y pulse
{PegarGuitarra1}: el archivo de guitarra del primero se copia sobre el del segundo, que se pierde. Se copia el
archivo tal como está guardado: guarde antes la pista de origen. Si el panel está abierto sobre el tema de destino,
sigue mostrando la pista de antes: ciérrelo sin guardar y vuelva a abrirlo. {PegarGuitarra1} no hace nada si el
tema recordado no tiene archivo o si es el mismo tema.</p>
<h3>Tocar con la guitarra</h3>
<p>Mientras el panel está abierto ({Guitarra1} marcado en el menú {Ver1}) la guitarra suena con el tema: pulse F10
o ▶ del panel {=Temas1}, o el botón ▶ del panel de la guitarra ({SpeedButton11.hint}), que toca el tema desde el
compás a la vista. La introducción del tema suena sin guitarra. Mientras suena, las vistas siguen al tema: la del
compás muestra el compás que suena y su línea avanza por el tiempo que suena (en rojo en los tiempos con acento,
en verde en los demás), y la del tiempo muestra el tiempo que suena. Los botones y la barra siguen funcionando: al
pasar a otro compás, el tema sigue desde él. Los clics sobre la vista del compás no hacen nada mientras suena ni en
pausa. Con el panel cerrado, la guitarra no suena.</p>
<h3>Silencio, solo, volumen y panorama de la guitarra</h3>
<ul>
<li><b>M</b> y <b>S</b>, arriba a la izquierda del panel, son el silencio y el solo de la guitarra, como los de
las pistas del panel {=Pistas1}: M calla la guitarra; S deja sonar la guitarra y calla las pistas que no están en
solo (la guitarra y una pista pueden estar en solo a la vez). Con una pista en solo y la S de la guitarra sin
pulsar, la guitarra calla.</li>
<li>Las dos barritas rojas del pie del panel son el <b>volumen</b> de la guitarra (la de la izquierda), de 1 a 16
(8 es el normal; su sugerencia dice de «1/8» a «x9», como las de las pistas), y su <b>panorama</b> (la de la
derecha), de izquierda a derecha con el centro en medio (su sugerencia dice de -16 a 16). A diferencia de las
pistas, son los mismos para todos los temas.</li>
</ul>
<h3>El banco de guitarra</h3>
<p>La lista desplegable de arriba del panel, junto a M y S, elige el <b>banco de guitarra</b>: la guitarra que
suena. Un banco es una carpeta de <i>BancoDeSonidos</i> con la grabación de cada cuerda al aire:</p>
<table border="1" cellspacing="0" cellpadding="3" width="100%">
<tr><td width="38%"><i>BancoDeSonidos/&lt;banco&gt;/c1.wav</i> ... <i>c6.wav</i></td><td>la cuerda 1 (mi agudo) ...
la cuerda 6 (mi grave), al aire: WAV sencillo (cabecera de 44 bytes), mono, 16 bits, 44100 Hz, de hasta 12
segundos.</td></tr>
<tr><td><i>BancoDeSonidos/&lt;banco&gt;/afinacion.txt</i></td><td>opcional: seis líneas, de la cuerda 6 a la 1,
con los semitonos que cada cuerda se aparta de la afinación normal (mi la re sol si mi). Con -2 en la primera línea
y 0 en las demás, la sexta cuerda baja a re. Sin este archivo, afinación normal.</td></tr>
</table>
<p>La lista muestra las carpetas de <i>BancoDeSonidos</i> que tienen <i>c6.wav</i>; el banco de fábrica es
«Guitarra». El banco elegido se carga al momento, se recuerda para la próxima vez (en <i>DRAV_PROF.ini</i>) y se
vuelve a cargar al abrir cada conjunto. Abajo a la izquierda, el pie del panel muestra las notas de sus seis
cuerdas al aire, de la sexta a la primera, cada una con el número de su cuerda (con la afinación normal «E 6 A 5
D 4 G 3 B 2 E 1», las notas en su nombre inglés: E mi, A la, D re, G sol, B si). Cada nota se hace con la grabación de su cuerda al aire, tocada más deprisa
para subirla hasta su traste: grabe cada cuerda limpia, desde el ataque, sin silencio delante. Si falta un
archivo, el programa lo dice («No se puede abrir el archivo:») y esa cuerda no suena.</p>
)html",
       R"html(
<p>The {=Guitarra1} panel accompanies the songs with a six-string guitar written as tablature. Each song can have
its guitar track. The song's compases are the guitar's bars (bar 5 of the track plays with compás 5 of the song);
each bar has as many beats as its formula; each beat is divided into 1 to 24 equal parts, the <b>divisions</b>,
and in each division each string can give one note.</p>
{pic:PanelGuitarra}
<h3>Opening a song's track</h3>
<p>Choose the song in the {=Temas1} panel and open the panel with {Ver1} &gt; {Guitarra1}. The panel opens on
that song's track, at the first beat of the first bar, and the song goes to its first entry. Choosing another
song while the panel is open closes the panel and opens it again on the new song. {Ver1} &gt; {Guitarra1} again,
or the panel's red X, closes it.</p>
<p>A song's track is the file <i>datos/&lt;set&gt;/&lt;song&gt;.gtr</i>. The label at the top shows its name (its
hint, the whole path) and its colour tells whether it exists:</p>
<ul>
<li><b>blue</b>: the file exists and has been read. When the song has more beats than the file, the file's last
beat is repeated up to the end of the song; when it has fewer, the extra beats are kept after the last bar (they
are not shown, but they are saved).</li>
<li><b>red</b>: the song has no file yet. The track starts empty, one empty beat for each beat of the song, and the
file is made when the track is saved.</li>
</ul>
<p>A slash "/" in the song's name becomes a blank when the panel opens, since a file name cannot hold it; the
changed name is saved with the set the next time.</p>
<h3>Saving the track</h3>
<p>As soon as the track has unsaved changes the save button appears right of the label (its hint:
"{BGuardaG.hint}"); without changes a dark patch lies in its place. The button asks "¿ Quiere guardar el tema de
guitarra" with the file's name (in Spanish in both languages): Yes writes the file (the label turns blue); No
writes nothing and the button stays. Closing the panel with unsaved changes (with {Ver1}, with its X, by choosing
another song or on leaving the program) asks the same question. The track is saved apart from the set:
{Guardar1} does not save it.</p>
<h3>The two views and how to read the tablature</h3>
<p>The wide view at the top is the <b>bar</b>: every beat of the bar on display, numbered from 1 at the bottom.
The view below is the <b>beat</b>: the beat on display, enlarged, with its divisions numbered from 1 at the
bottom. In both, each line is a string and the number on the left is the string's number: 1 the highest (E), 6
the lowest (low E).</p>
<p>Each note is written by its string, a little right of the start of its division. A note with a <b>delay</b>
starts later within its division and is written further right: with a delay of 50, half-way through the division.
That is how a rasgueo is written: in the picture the six strings of the first stroke of beat 3 come in one after
another, from the 6th to the 1st. In the bar view each note is its fret number (0 = open string). In the beat view
a star marks the note and its text also tells how it is played:</p>
<table border="1" cellspacing="0" cellpadding="3" width="100%">
<tr><td width="12%"><b>7</b></td><td>Normal: the string stopped at fret 7; the note sounds in full from its
attack.</td></tr>
<tr><td><b>L7</b></td><td>Legato ("Ligado"): fret 7 without a new attack; the sound the string had goes on at the
new pitch, like a left-hand slur.</td></tr>
<tr><td><b>T</b></td><td>Thud ("Tapado"): a short, muffled stroke, only the start of the note (this view
does not write the fret).</td></tr>
<tr><td><b>S</b></td><td>Silence ("Silencio"): the string stops sounding.</td></tr>
</table>
<p>A note sounds until its recording ends or another note comes to the same string: a string without a note in a
division keeps ringing, into the following beats too. Each note also has a <b>strength</b> from 1 to 7 (7 the
loudest), which is heard but not written in the views.</p>
<p>The {Label48} box shows how many divisions the beat on display has (1 to 24; each beat has its own): 2 are
eighth notes, 3 a triplet, 4 sixteenth notes.</p>
<p>In the bar view a vertical line marks the beat on display, with its number below the strings: red when that
beat is accented in the formula (the accent boxes of the {=Pistas1} panel), green otherwise.</p>
<h3>Moving through the track</h3>
<ul>
<li><b>{Label44}</b>: the box shows the bar on display and how many the song has. The &lt;&lt;
({SpeedButton13.hint}) and &gt;&gt; ({SpeedButton14.hint}) buttons go to the previous or the next bar, and the
scroll bar below the bar view goes to any bar. The first beat of the new bar is shown.</li>
<li><b>{Label45}</b>: the box shows the beat on display and how many its bar has. The &lt; ({SpeedButton18.hint})
and &gt; ({SpeedButton17.hint}) buttons go to the previous or the next beat, also from the last beat of a bar to
the first of the next one and back. Each beat reached this way sounds once, so that you hear what is
written.</li>
<li>A left click on the strings of the bar view shows that beat and plays it.</li>
</ul>
<p>At the first beat of the first bar and at the last beat of the last bar the buttons do nothing.</p>
<h3>Marking beats</h3>
<p>A left click in the strip of beat numbers, below the strings of the bar view, marks the beats from the one on
display to the one clicked, both included: a red line at the end of the last marked beat, with "&gt;" and the
number of marked beats (in the picture "&gt;4": beats 3 to 6). A click on a beat before the one on display
removes the marks; going to another beat removes them too. The marked beats are saved as a template (below).</p>
<h3>Capo and orientation</h3>
<ul>
<li><b>Capo</b>: the <b>-</b> and <b>+</b> buttons at the right of the row set the capo from 0 to 12 frets, and the
box between them shows it. With the capo at 2 every note sounds two semitones higher than its written fret: frets
are counted from the capo, as on the guitar. The capo holds for every song while the program is open.</li>
<li><b>{CBTab}</b>: ticked (as at start), the usual tablature with string 1 at the top; unticked, both views turn
over and string 6 is at the top, as the player sees the guitar.</li>
</ul>
<h3>The beat and bar menu</h3>
<p>While the song is stopped, a right click on a beat of the bar view shows that beat (and plays it) and opens
this menu. Its texts are always in Spanish and carry the numbers of the beat and bar concerned; in the picture,
with beat 3 of bar 1 and bar 1 copied before and the right click on beat 5 of bar 2:</p>
{pic:popup:Chart2}
<ul>
<li>{CopiarTiempoG} and the beat's number: remembers the beat. It changes nothing.</li>
<li>{PegarTiempoG} and the remembered beat and bar: puts the remembered beat in place of the beat on
display. What that place of the track holds at the time of pasting is pasted: when the copied beat changes before
the paste, it is pasted changed. Before a beat is copied it does nothing.</li>
<li>{Insertartiempo1}: inserts an empty beat in place of the beat on display; that beat and all the
following ones move one beat on.</li>
<li>{Vaciartiempo1}: leaves the beat on display empty (one division, no notes).</li>
<li>{Elminartiempo1}: removes the beat on display; the following ones move one beat back and an
empty beat is left at the end of the track.</li>
<li>{CopiarCompasG} and its number: remembers the bar on display.</li>
<li>{PegarCompasG} and both numbers: copies the remembered bar
over the bar on display, as many beats as this one has: from a shorter bar the beats that follow it come along;
from a longer one only the first beats. Before a bar is copied it does nothing.</li>
<li>{Insertarcompas1}: inserts at the start of the bar on display as many empty beats as it has;
everything that follows moves on.</li>
<li>{Vaciarcompas1}: leaves every beat of the bar on display empty.</li>
<li>{Eliminarcompas1}: removes the beats of the bar on display; what follows moves back and as many
empty beats are left at the end of the track.</li>
</ul>
<p>The bars do not move: they stay where the song puts them. What moves are the beats, which pass from one bar to
another: inserting a beat in bar 1 makes its last beat the first of bar 2, and so on to the end; the track's last
beat goes past the last bar (it is not shown, but it is saved). Each change shows the save button.</p>
<h3>Templates</h3>
<p>A template is a piece of track saved apart to be used in other songs: a rasgueo, a falseta, a remate. Templates
are <i>.pgt</i> files of the folder <i>Plantillas</i>. The two buttons after the save button:</p>
<ul>
<li><b>{AbrePlantilla.hint}</b> (paste template): chooses a template and writes its beats from the beat on display
on, over the beats there (past the end, the track grows).</li>
<li><b>{RecPlantilla.hint}</b> (save template): only while beats are marked (otherwise a dark patch covers it).
It saves the marked beats into a file; when the name does not end in .pgt, .pgt is added. The track does not
change.</li>
</ul>
<p>Pasting a template changes the track: the save button lights up and, when the panel closes, the program
asks whether to save it.</p>
<h3>Copying a song's track to another song</h3>
<p>The right-button menu of the song table (chapter "{=Temas1}") holds {CopiarGuitarra1} and
{PegarGuitarra1}. Choose the source song and click {CopiarGuitarra1}; choose the target song and
click {PegarGuitarra1}: the guitar file of the first is copied over that of the second, which is lost. The file is
copied as it was last saved: save the source track first. When the panel is open on the target song it still
shows the track from before: close it without saving and open it again. {PegarGuitarra1} does nothing when the
remembered song has no file or is the same song.</p>
<h3>Playing with the guitar</h3>
<p>While the panel is open ({Guitarra1} ticked in the {Ver1} menu) the guitar plays with the song: press F10 or ▶
of the {=Temas1} panel, or the ▶ button of the guitar panel ({SpeedButton11.hint}), which plays the song from the
bar on display. The song's intro plays without the guitar. While it plays the views follow the song: the bar view
shows the bar that plays and its line runs through the beat that plays (red on accented beats, green on the
others), and the beat view shows the beat that plays. The buttons and the scroll bar still work: going to another
bar makes the song go on from there. Clicks on the bar view do nothing while the song plays or is paused. With the
panel closed the guitar does not play.</p>
<h3>Mute, solo, volume and pan of the guitar</h3>
<ul>
<li><b>M</b> and <b>S</b>, at the top left of the panel, are the guitar's mute and solo, like those of the tracks
of the {=Pistas1} panel: M silences the guitar; S lets the guitar sound and mutes the tracks that are not solo
(the guitar and one track can be solo together). With a track solo and the guitar's S up, the guitar is
silent.</li>
<li>The two red sliders at the foot of the panel are the guitar's <b>volume</b> (the left one), 1 to 16 (8 is
normal; the hint reads "1/8" to "x9", as the tracks' do), and its <b>pan</b> (the right one), left to right with
the centre in the middle (the hint reads -16 to 16). Unlike the tracks', they are the same for every song.</li>
</ul>
<h3>The guitar bank</h3>
<p>The drop-down list at the top of the panel, beside M and S, chooses the <b>guitar bank</b>: the guitar that
sounds. A bank is a folder of <i>BancoDeSonidos</i> with the recording of each open string:</p>
<table border="1" cellspacing="0" cellpadding="3" width="100%">
<tr><td width="38%"><i>BancoDeSonidos/&lt;bank&gt;/c1.wav</i> ... <i>c6.wav</i></td><td>string 1 (high E) ... string
6 (low E), open: a plain WAV (44-byte header), mono, 16 bits, 44100 Hz, up to 12 seconds long.</td></tr>
<tr><td><i>BancoDeSonidos/&lt;bank&gt;/afinacion.txt</i></td><td>optional: six lines, string 6 to string 1, with the
semitones each string lies away from the standard tuning (E A D G B E). With -2 on the first line and 0 on the
others the 6th string goes down to D. Without this file, standard tuning.</td></tr>
</table>
<p>The list shows the folders of <i>BancoDeSonidos</i> that hold a <i>c6.wav</i>; the factory bank is "Guitarra".
The chosen bank loads at once, is remembered for the next time (in <i>DRAV_PROF.ini</i>) and is loaded again
whenever a set opens. At the bottom left, the foot of the panel shows the notes of its six open strings, 6th to
1st, each with its string's number (in standard tuning "E 6 A 5 D 4 G 3 B 2 E 1"). Every note is made from its open string's recording, played faster to raise it to its fret:
record each string cleanly, from the attack, with no silence before it. When a file is missing the program says so
("I cannot open the file:") and that string is silent.</p>
)html"},

      {"play", "Tocar", "Playing",
       R"html(
<ul>
<li><b>Una fórmula en bucle</b>: elíjala en el panel {=Frmulas1} y pulse F11 (o ▶ de ese panel). Suena una y
otra vez al tempo de la barra del panel {=Metrnomo1}, que se puede mover mientras suena.</li>
<li><b>Un tema</b>: elíjalo en el panel {=Temas1}, elija la entrada desde la que quiere empezar y pulse F10 (o ▶
de ese panel).</li>
<li><b>Pausa</b>: el botón || del panel {=Temas1}; ▶ o || otra vez reanudan.</li>
<li><b>Parar</b>: F12 o Esc, o cualquiera de los botones ■ y {SpeedButton12}.</li>
</ul>
<p>Así suena un tema: primero la introducción ({Intro}: golpes de clic, uno por tiempo); luego cada entrada
tantas veces como diga {SGSaco:4,0}, con su tempo y su aceleración, en orden o al azar; al acabar la lista, el
compás de final ({Fin}) y otra pasada, tantas pasadas como diga {Partes} (sin número: hasta que se pare). Mientras
suena, las entradas que suenan se van eligiendo en la tabla, el panel {=Pistas1} muestra su fórmula, los números
del panel {=Metrnomo1} marcan el tiempo y el contador muestra el compás.</p>
<p>Mientras suena un tema, los cambios que haga no encienden el botón de guardar; se guardan igualmente con
{Guardar1}.</p>
)html",
       R"html(
<ul>
<li><b>A formula in a loop</b>: choose it in the {=Frmulas1} panel and press F11 (or ▶ of that panel). It plays
over and over at the tempo of the slider of the {=Metrnomo1} panel, which can be moved while it plays.</li>
<li><b>A song</b>: choose it in the {=Temas1} panel, choose the entry to start from and press F10 (or ▶ of that
panel).</li>
<li><b>Pause</b>: the || button of the {=Temas1} panel; ▶ or || again resume.</li>
<li><b>Stop</b>: F12 or Esc, or any of the ■ and {SpeedButton12} buttons.</li>
</ul>
<p>This is how a song plays: first the intro ({Intro}: click strokes, one per beat); then each entry as many times
as its {SGSaco:4,0}, with its tempo and acceleration, in order or at random; at the end of the list, the ending
compás ({Fin}) and another pass, as many passes as {Partes} says (without a number: until stopped). While it
plays, the entries that sound are chosen in turn in the table, the {=Pistas1} panel shows their formula, the
numbers of the {=Metrnomo1} panel mark the beat and the counter shows the compás.</p>
<p>While a song plays, the changes you make do not light the save button; {Guardar1} saves them all the
same.</p>
)html"},

      {"create", "Crear una fórmula y un tema", "Making a formula and a song",
       R"html(
<p>Un ejemplo completo: una fórmula de tangos de 4 tiempos y un tema que la usa.</p>
<ol>
<li>En el panel {=Frmulas1}, elija una fórmula parecida, botón derecho, {Nuevafrmula1}. En la fila nueva escriba
el nombre «Tangos», 4 en {SGFormulas:1,0} y 1 en {SGFormulas:3,0}.</li>
<li>En el panel {=Pistas1}, elija el sonido de la pista 1 (por ejemplo una palma) en la columna
{SGDatosFormula:1,0}. Escriba los golpes: 7 en el tiempo 1, 0505 en el 2, 7 en el 3, 0505 en el 4. Elija
otro sonido en la pista 2 y escriba sus golpes.</li>
<li>Marque las casillas de acento de los tiempos que se acentúan.</li>
<li>Pulse F11 para escucharla; mueva el tempo en el panel {=Metrnomo1}; ajuste el volumen y el panorama de cada
pista. Pare con F12.</li>
<li>En el panel {=Temas1}, botón derecho en la tabla de temas, {Nuevotema1} (Ctrl+N), y escriba su nombre.</li>
<li>Con la fórmula elegida en el panel {=Frmulas1}, pulse ↑+ o ↓+ en el panel {=Temas1} para añadirla como
entrada. Escriba las {SGSaco:4,0} (por ejemplo 8) y, si quiere, una {SGSaco:5,0}.</li>
<li>Añada más entradas con otras fórmulas; escriba un tempo en {SGSaco:2,0} donde el tema cambie de tempo.</li>
<li>Escriba {Intro} 4, {Fin} 4 y {Partes} 2, y pulse F10 para escucharlo.</li>
<li>Guarde con el botón {Label32} {Label33} o con {File} &gt; {Guardar1}. El conjunto de fábrica «Original» no
se sobreescribe: se guarda como «Original-1» (o el primer número libre); use {Guardarcomo1} para darle un
nombre.</li>
</ol>
)html",
       R"html(
<p>A whole example: a tangos formula of 4 beats and a song that uses it.</p>
<ol>
<li>In the {=Frmulas1} panel, choose a similar formula, right button, {Nuevafrmula1}. In the new row type the name
"Tangos", 4 in {SGFormulas:1,0} and 1 in {SGFormulas:3,0}.</li>
<li>In the {=Pistas1} panel, choose the sound of track 1 (a palma, for instance) in the {SGDatosFormula:1,0}
column. Type the strokes: 7 in beat 1, 0505 in beat 2, 7 in beat 3, 0505 in beat 4. Choose another sound on
track 2 and type its strokes.</li>
<li>Tick the accent boxes of the accented beats.</li>
<li>Press F11 to hear it; move the tempo in the {=Metrnomo1} panel; set each track's volume and pan. Stop with
F12.</li>
<li>In the {=Temas1} panel, right button on the song table, {Nuevotema1} (Ctrl+N), and type its name.</li>
<li>With the formula chosen in the {=Frmulas1} panel, press ↑+ or ↓+ in the {=Temas1} panel to add it as an
entry. Type the {SGSaco:4,0} (8, for instance) and, if you like, an {SGSaco:5,0}.</li>
<li>Add more entries with other formulas; type a tempo into {SGSaco:2,0} where the song changes tempo.</li>
<li>Type {Intro} 4, {Fin} 4 and {Partes} 2, and press F10 to hear it.</li>
<li>Save with the {Label32} {Label33} button or with {File} &gt; {Guardar1}. The factory set "Original" is not
overwritten: it is saved as "Original-1" (or the first free number); use {Guardarcomo1} to give it a name.</li>
</ol>
)html"},

      {"wav", "Exportar un tema a WAV", "Exporting a song to WAV",
       R"html(
<p>El botón <b>{SpeedButton6}</b> del panel {=Temas1} ({SpeedButton6.hint}) escribe el tema elegido en un archivo
WAV (estéreo, 44100 Hz, 16 bits) para oírlo en cualquier reproductor o llevarlo a un editor de audio.</p>
<ol>
<li>Elija el tema y, si quiere, el clic (sonido y botones del panel {=Metrnomo1}): el clic también se
graba.</li>
<li>Pulse <b>{SpeedButton6}</b>. Se abre un diálogo en la carpeta <i>datos/wavs</i> con un nombre propuesto: el
nombre del tema, su tempo, «m» y el botón de clic elegido, por ejemplo «Bulerias-120mP.wav».</li>
<li>Acepte. El registro dice «Archivo : ... guardado».</li>
</ol>
<p>El archivo tiene la introducción, cada entrada con sus repeticiones en el orden de la lista (también en un tema
{RadioButton2}), y, si {Partes} es 2 o más, las pasadas con el compás de final entre ellas. Con {Partes} vacío, 0
o 1 se escribe una sola pasada. Un tema cuya primera entrada no tiene repeticiones no se exporta.</p>
)html",
       R"html(
<p>The <b>{SpeedButton6}</b> button of the {=Temas1} panel ({SpeedButton6.hint}) writes the chosen song into a WAV
file (stereo, 44100 Hz, 16 bits) to play it in any player or take it into an audio editor.</p>
<ol>
<li>Choose the song and, if you like, the click (sound and buttons of the {=Metrnomo1} panel): the click is
recorded too.</li>
<li>Press <b>{SpeedButton6}</b>. A dialog opens in the folder <i>datos/wavs</i> with a proposed name: the song's
name, its tempo, "m" and the chosen click button, for instance "Bulerias-120mP.wav".</li>
<li>Accept. The log says "File : ... saved".</li>
</ol>
<p>The file holds the intro, each entry with its repetitions in list order (in a {RadioButton2} song too), and,
when {Partes} is 2 or more, the passes with the ending compás between them. With {Partes} empty, 0 or 1 a single
pass is written. A song whose first entry has no repetitions is not exported.</p>
)html"},

      {"import", "Importar temas de otro conjunto", "Importing songs from another set",
       R"html(
<p>{File} &gt; {ImportarTEMA1} copia temas de otro conjunto de datos al conjunto abierto, con las fórmulas que
usan.</p>
<ol>
<li>Elija el archivo .vl2 del otro conjunto (en la carpeta <i>datos</i>).</li>
<li>Se abre la ventana «Importar TEMAS» con la lista de sus temas.</li>
<li>Elija un tema y pulse el botón «Importar»: el tema se añade al final de la tabla de temas. Las fórmulas que el
conjunto abierto ya tiene iguales se aprovechan; las demás se añaden al final de la tabla de fórmulas. La pista de
guitarra del tema viene con él. El registro dice «Importando Tema:» y «Añadiendo fórmula:» por cada fórmula
nueva.</li>
<li>Los temas ya importados salen en rojo en la lista. Importe otros o cierre la ventana.</li>
</ol>
{pic:dialog:FormImportar}
<p>Las fórmulas usan los números de sonido del conjunto abierto: si las listas de sonidos de los dos conjuntos no
son iguales, revise los sonidos de las pistas. Guarde después el conjunto.</p>
)html",
       R"html(
<p>{File} &gt; {ImportarTEMA1} copies songs of another data set into the open set, with the formulas they use.</p>
<ol>
<li>Choose the other set's .vl2 file (in the folder <i>datos</i>).</li>
<li>The window "Import SONGS" opens with the list of its songs.</li>
<li>Choose a song and press the "Import" button: the song is appended to the song table. Formulas the open set
already holds in equal form are reused; the others are appended to the formula table. The song's guitar track
comes along. The log says "Importando Tema:" and "Añadiendo fórmula:" for each new formula.</li>
<li>Songs already imported show red in the list. Import others or close the window.</li>
</ol>
{pic:dialog:FormImportar}
<p>The formulas use the sound numbers of the open set: when the sound lists of the two sets differ, check the
tracks' sounds. Save the set afterwards.</p>
)html"},

      {"convert", "Convertir un conjunto antiguo (DRAVv1)", "Converting an older set (DRAVv1)",
       R"html(
<p>{File} &gt; {ImportarPELNv1} convierte un conjunto de la generación anterior (8 pistas por fórmula, archivo
.ole de la carpeta <i>datos</i>) al formato actual.</p>
<ol>
<li>Elija el archivo .ole. Tiene que estar en una carpeta <i>datos</i> y no llamarse «Original» ni
«Nuevo».</li>
<li>Si ya existe un conjunto .vl2 con ese nombre, el programa pregunta si lo sobreescribe.</li>
<li>Si el conjunto abierto tiene cambios, pregunta antes si se guardan.</li>
<li>Se escribe el conjunto nuevo (la lista de sonidos, las fórmulas y los temas) con el mismo nombre y se
abre.</li>
</ol>
<p>Los golpes (de 3 niveles en el formato antiguo) pasan a la escala de 1 a 7 y cada tema conserva sus entradas,
tempos y opciones.</p>
)html",
       R"html(
<p>{File} &gt; {ImportarPELNv1} converts a set of the older generation (8 tracks per formula, an .ole file of the
folder <i>datos</i>) into the present format.</p>
<ol>
<li>Choose the .ole file. It must be in a <i>datos</i> folder and must not be named "Original" or "Nuevo".</li>
<li>When a .vl2 set of that name already exists, the program asks whether to overwrite it.</li>
<li>When the open set has changes, it first asks whether to save them.</li>
<li>The new set (sound list, formulas and songs) is written under the same name and opened.</li>
</ol>
<p>The strokes (of 3 levels in the older format) move onto the scale 1 to 7, and each song keeps its entries,
tempos and options.</p>
)html"},

      {"files", "Conjuntos de datos y carpeta de trabajo", "Data sets and the working folder",
       R"html(
<p>El menú {File}:</p>
<ul>
<li>{Original1}: abre el conjunto de fábrica «Original» (si hay cambios, pregunta antes si se guardan).</li>
<li>{Nuevo1}: empieza un conjunto vacío llamado «Nuevo», con la lista de sonidos de fábrica, una fórmula y un
tema vacíos y tempo 120.</li>
<li>{Deshacertodo1}: vuelve a leer el conjunto del disco y pierde los cambios de fórmulas y temas no guardados
(la lista de sonidos se guarda al cambiarla, así que queda como está).</li>
<li>{Abrir2}: elige un conjunto (archivo .vl2 de la carpeta <i>datos</i>).</li>
<li>{Guardar1} (y el botón {Label32} {Label33}): pregunta y guarda. «Original» y «Nuevo» no se sobreescriben
nunca: se guardan como «Original-1», «Nuevo-1»... (el primer número libre).</li>
<li>{Guardarcomo1}: guarda con otro nombre, que debe estar en la carpeta <i>datos</i> y no ser «Original» ni
«Nuevo». Las pistas de guitarra se copian al conjunto nuevo.</li>
</ul>
<p>Al empezar, el programa abre el último conjunto usado. Al salir pregunta si se guardan los cambios.</p>
<h3>La carpeta de trabajo</h3>
<p>Todo se lee y se escribe en la carpeta del programa (la carpeta de trabajo):</p>
<table border="1" cellspacing="0" cellpadding="3" width="100%">
<tr><td width="38%"><i>BancoDeSonidos/</i></td><td>los sonidos: un archivo WAV por sonido; y una carpeta por
banco de guitarra (capítulo «La guitarra»).</td></tr>
<tr><td><i>datos/&lt;nombre&gt;.vl2</i></td><td>la lista de sonidos del conjunto: un nombre de sonido por
línea.</td></tr>
<tr><td><i>datos/&lt;nombre&gt;/formulas.svs</i></td><td>las fórmulas del conjunto.</td></tr>
<tr><td><i>datos/&lt;nombre&gt;/temas.svs</i></td><td>los temas del conjunto.</td></tr>
<tr><td><i>datos/&lt;nombre&gt;/&lt;tema&gt;.gtr</i></td><td>la pista de guitarra de un tema.</td></tr>
<tr><td><i>datos/Original.vl2</i>, <i>datos/Original/</i></td><td>el conjunto de fábrica; su lista de sonidos es
también la de un conjunto nuevo.</td></tr>
<tr><td><i>Nuevo.vl2</i></td><td>la lista de sonidos del conjunto «Nuevo» sin guardar.</td></tr>
<tr><td><i>datos/wavs/</i></td><td>los temas exportados a WAV.</td></tr>
<tr><td><i>datos/&lt;nombre&gt;.ole</i></td><td>un conjunto de la generación anterior, para convertirlo.</td></tr>
<tr><td><i>Acordes/</i>, <i>Plantillas/</i>, <i>MIDI/</i></td><td>para la guitarra (acordes, plantillas .pgt y
archivos MIDI).</td></tr>
<tr><td><i>Imagenes/</i></td><td>las imágenes de los paneles y de «Acerca de».</td></tr>
<tr><td><i>DRAV_PROF.ini</i></td><td>los ajustes: el último conjunto abierto, el idioma y el banco de
guitarra.</td></tr>
<tr><td><i>Manual DRAV_PROF.pdf</i></td><td>este manual.</td></tr>
</table>
<p>Para copiar un conjunto a otro ordenador, copie su .vl2, su carpeta y los sonidos que usa. Un .vl2 abierto
desde la línea de órdenes (o con doble clic) hace de la carpeta que contiene su carpeta <i>datos</i> la carpeta
de trabajo.</p>
)html",
       R"html(
<p>The {File} menu:</p>
<ul>
<li>{Original1}: opens the factory set "Original" (when there are changes, it first asks whether to save
them).</li>
<li>{Nuevo1}: starts an empty set named "Nuevo", with the factory sound list, an empty formula and song and tempo
120.</li>
<li>{Deshacertodo1}: reads the set again from disk and drops the unsaved changes of formulas and songs (the sound
list is saved when it changes, so it stays as it is).</li>
<li>{Abrir2}: chooses a set (a .vl2 file of the folder <i>datos</i>).</li>
<li>{Guardar1} (and the {Label32} {Label33} button): asks, then saves. "Original" and "Nuevo" are never
overwritten: they are saved as "Original-1", "Nuevo-1"... (the first free number).</li>
<li>{Guardarcomo1}: saves under another name, which must be in the folder <i>datos</i> and must not be "Original"
or "Nuevo". The guitar tracks are copied to the new set.</li>
</ul>
<p>At start the program opens the last set used. On exit it asks whether to save the changes.</p>
<h3>The working folder</h3>
<p>Everything is read and written in the program's folder (the working folder):</p>
<table border="1" cellspacing="0" cellpadding="3" width="100%">
<tr><td width="38%"><i>BancoDeSonidos/</i></td><td>the sounds: one WAV file per sound; and one folder per
guitar bank (chapter "The guitar").</td></tr>
<tr><td><i>datos/&lt;name&gt;.vl2</i></td><td>the set's sound list: one sound name per line.</td></tr>
<tr><td><i>datos/&lt;name&gt;/formulas.svs</i></td><td>the set's formulas.</td></tr>
<tr><td><i>datos/&lt;name&gt;/temas.svs</i></td><td>the set's songs.</td></tr>
<tr><td><i>datos/&lt;name&gt;/&lt;song&gt;.gtr</i></td><td>the guitar track of a song.</td></tr>
<tr><td><i>datos/Original.vl2</i>, <i>datos/Original/</i></td><td>the factory set; its sound list is also that
of a new set.</td></tr>
<tr><td><i>Nuevo.vl2</i></td><td>the sound list of the unsaved "Nuevo" set.</td></tr>
<tr><td><i>datos/wavs/</i></td><td>the songs exported to WAV.</td></tr>
<tr><td><i>datos/&lt;name&gt;.ole</i></td><td>a set of the older generation, to be converted.</td></tr>
<tr><td><i>Acordes/</i>, <i>Plantillas/</i>, <i>MIDI/</i></td><td>for the guitar (chords, .pgt templates and MIDI
files).</td></tr>
<tr><td><i>Imagenes/</i></td><td>the pictures of the panels and of the about box.</td></tr>
<tr><td><i>DRAV_PROF.ini</i></td><td>the settings: the last set opened, the language and the guitar
bank.</td></tr>
<tr><td><i>Manual DRAV_PROF.pdf</i></td><td>this manual.</td></tr>
</table>
<p>To take a set to another computer, copy its .vl2, its folder and the sounds it uses. A .vl2 opened from the
command line (or by a double click) makes the folder that holds its <i>datos</i> folder the working folder.</p>
)html"},

      {"language", "Idioma y ayuda", "Language and help",
       R"html(
<p>El menú {Idiomas1} tiene {Espaol1} e {Ingls1}: cambia al momento todos los textos de la ventana, y la elección
se recuerda para la próxima vez.</p>
{pic:menu:Ayuda1}
<p>El menú {Ayuda1}:</p>
<ul>
<li>{ManualBORNACEPELN1} (o F1 en cualquier momento): abre este manual, el archivo «Manual DRAV_PROF.pdf» de la
carpeta de trabajo, con el lector de PDF del sistema.</li>
<li>{ActualizarBORNACEPELN1}: abre en el navegador la página del programa, donde están las versiones
nuevas.</li>
<li>{Acercade1}: muestra el nombre y la versión del programa y los enlaces a la página del programa y a la del
fabricante.</li>
</ul>
)html",
       R"html(
<p>The {Idiomas1} menu holds {Espaol1} and {Ingls1}: it switches every text of the window at once, and the choice
is remembered for the next time.</p>
{pic:menu:Ayuda1}
<p>The {Ayuda1} menu:</p>
<ul>
<li>{ManualBORNACEPELN1} (or F1 at any time): opens this manual, the file "Manual DRAV_PROF.pdf" of the working
folder, with the system's PDF reader.</li>
<li>{ActualizarBORNACEPELN1}: opens the program's page in the web browser, where the new versions are.</li>
<li>{Acercade1}: shows the program's name and version and the links to the program's page and to the maker's
page.</li>
</ul>
)html"},

      {"shortcuts", "Teclas rápidas", "Shortcut keys",
       R"html(
<p>Las teclas de la ventana:</p>
{shortcuts}
<p>Además, en las tablas: las flechas mueven la celda elegida (en la tabla de fórmulas eligen también la fórmula
que se añade a los temas); escribir en una celda editable (o F2, o doble clic) la edita e Intro guarda lo escrito.
En las casillas de acento, la barra espaciadora marca o desmarca el acento. En el cuadro del volumen general,
Intro toma el número escrito.</p>
)html",
       R"html(
<p>The keys of the window:</p>
{shortcuts}
<p>In the tables, besides: the arrow keys move the chosen cell (in the formula table they also choose the formula
added to songs); typing in an editable cell (or F2, or a double click) edits it and Enter stores what was typed.
On the accent boxes the space bar ticks or unticks the accent. In the master volume box, Enter takes the typed
number.</p>
)html"},

      {"messages", "Qué significa cada mensaje y qué hacer", "What each message means and what to do",
       R"html(
<p>Los mensajes que el programa muestra en una ventana o escribe en el registro: primero las preguntas, luego los
avisos y al final las líneas del registro. Donde el texto sigue con un nombre de archivo, una causa o un número,
se indica entre &lt; &gt;. Unas pocas preguntas se hacen siempre en español; en la parte inglesa se dan tal
cual.</p>
{messages}
)html",
       R"html(
<p>The messages that the program shows in a box or writes into the log: first the questions, then the warnings
and last the lines of the log. Where the text goes on with a file name, a cause or a number, it is shown between
&lt; &gt;. A few questions are always asked in Spanish; they are given as they are.</p>
{messages}
)html"},

      {"guitaredit", "Escribir la guitarra: notas, acordes y MIDI", "Writing the guitar: notes, chords and MIDI",
       R"html(
<p>Las notas de la pista se escriben en la vista del tiempo del panel {=Guitarra1}, con el diapasón y la rejilla de
acordes del mismo panel, o se traen de un archivo MIDI.</p>
<h3>El editor de notas</h3>
<p>Un clic en la tablatura, sobre una división y una cuerda, abre allí una casilla amarilla. Con la casilla abierta:</p>
<table border="1" cellspacing="0" cellpadding="3">
<tr><th>Tecla</th><th>Qué hace</th></tr>
<tr><td>0..9</td><td>escribe el traste; 0 o 1 esperan una segunda cifra («1» y «5» dan el traste 15). Una nota nueva tiene fuerza 4.</td></tr>
<tr><td>Retroceso, Supr</td><td>quita la nota.</td></tr>
<tr><td>N, L, T, S</td><td>modo Normal, Ligado, Tapado o Silencio.</td></tr>
<tr><td>R</td><td>repite la división anterior en esta.</td></tr>
<tr><td>1..9 y 0 del teclado numérico</td><td>cambia el número de divisiones del tiempo (0 = 10); las notas se reparten en las nuevas divisiones, y si dos notas de una cuerda caerían en la misma, no se cambia nada.</td></tr>
<tr><td>Flechas izquierda y derecha</td><td>división anterior o siguiente (pasan al tiempo y al compás de al lado).</td></tr>
<tr><td>Flechas arriba y abajo</td><td>cuerda de encima o de debajo.</td></tr>
<tr><td>Ctrl + flechas</td><td>izquierda y derecha cambian el retardo, arriba y abajo la fuerza (1..7); con Ctrl pulsado una etiqueta muestra fuerza, retardo y modo.</td></tr>
<tr><td>Ctrl+G, Ctrl+S</td><td>guarda la pista.</td></tr>
<tr><td>Alt + arriba o abajo</td><td>lleva la nota a la cuerda vecina con la misma altura.</td></tr>
<tr><td>Intro, Esc</td><td>cierra la casilla.</td></tr>
</table>
<p>Los botones a los lados del número de divisiones ({SpeedButton19.hint} y {SpeedButton20.hint}) hacen lo mismo que el
teclado numérico. Mientras suena un tema la tablatura no se edita.</p>
<p>Un clic con el botón derecho sobre la tablatura abre el menú de la división: {Copiar1} (la división al acorde),
{Pegar1} (el acorde a la división), {Invertirretardo1}, {Vaciar1} y {Deshacer1} (las diez últimas ediciones de una
división).</p>
<h3>Acordes y diapasón</h3>
<p>La rejilla de la derecha, bajo {Label31}, guarda un acorde: para cada cuerda la nota, el traste, la fuerza, el modo
y el retardo. Un clic en el diapasón sobre una cuerda y un traste suena la nota y la pone en el acorde (la cejilla
cuenta); un clic con el botón derecho quita la cuerda. Las barras del pie fijan el retardo entre cuerdas de un
rasgueo y la fuerza de todas; {BInvertir.hint} da la vuelta al rasgueo.</p>
<p>La lista {Label31} muestra los acordes de la carpeta Acordes (archivos .aco); elegir uno lo carga, y
{BGuardaAcorde.hint} guarda el de la rejilla con el nombre escrito. {SpeedButton15.hint} y
{SpeedButton16.hint} pasan el acorde a la división de la casilla y al revés, y {RellenaAcorde.hint} pone el acorde
en todos los tiempos marcados.</p>
<h3>Importar un archivo MIDI</h3>
<p>{SpeedButton24.hint} (el botón MIDI) lee un archivo .mid de la carpeta MIDI y escribe sus notas en la pista del
tema abierto: cada nota va a la cuerda y el traste que la tocan, la fuerza sale de la velocidad, los cambios de tempo
van a los compases del tema, y el tema gana repeticiones hasta cubrir toda la pista. Lo que pasó queda en el archivo
midireport.txt de la carpeta de trabajo. Si la unidad de tiempo leída no es la buena, un segundo clic en el botón
abre su menú, que ofrece {ForzarUnidad1} {Blanca1}, {Negrap1}, {Negra1}, {Corcheap1} o {Corchea1}, y vuelve a
importar con esa unidad desde el tema como estaba; {MIDIinfo1} hace que el clic siguiente pida otro archivo. El
clic derecho en el botón abre el mismo menú. De un archivo de varias pistas se toma la de guitarra: las de percusión (canal 10) y las que tienen
casi todas sus notas fuera de 40..88 se saltan cuando otra pista tiene notas, y el registro y midireport.txt dicen qué
pista se tomó y por qué. Un archivo que no se puede leer o una importación cancelada no cambian nada; un archivo
cortado, sin cabecera, con 0 pulsos por negra o con más de 64 tiempos de silencio antes de una nota tampoco, y un
mensaje dice "No se ha importado nada: " y la razón.</p>
)html",
       R"html(
<p>The notes of the track are written on the beat view of the {=Guitarra1} panel, with the fretboard and the chord grid
of the same panel, or brought in from a MIDI file.</p>
<h3>The note editor</h3>
<p>A click on the tablature, on a division and a string, opens a small yellow box there. With the box open:</p>
<table border="1" cellspacing="0" cellpadding="3">
<tr><th>Key</th><th>What it does</th></tr>
<tr><td>0..9</td><td>types the fret; 0 or 1 wait for a second digit ("1" and "5" give fret 15). A new note has strength 4.</td></tr>
<tr><td>Backspace, Delete</td><td>removes the note.</td></tr>
<tr><td>N, L, T, S</td><td>mode Normal, Legato, Thud or Silence.</td></tr>
<tr><td>R</td><td>repeats the previous division into this one.</td></tr>
<tr><td>Keypad 1..9 and 0</td><td>changes the beat's number of divisions (0 = 10); the notes are spread over the new divisions, and if two notes of one string would fall into the same one, nothing changes.</td></tr>
<tr><td>Left and Right arrows</td><td>previous or next division (on into the next beat and bar).</td></tr>
<tr><td>Up and Down arrows</td><td>the string above or below.</td></tr>
<tr><td>Ctrl + arrows</td><td>left and right change the delay, up and down the strength (1..7); while Ctrl is held a label shows strength, delay and mode.</td></tr>
<tr><td>Ctrl+G, Ctrl+S</td><td>saves the track.</td></tr>
<tr><td>Alt + Up or Down</td><td>moves the note to the neighbouring string at the same pitch.</td></tr>
<tr><td>Enter, Esc</td><td>closes the box.</td></tr>
</table>
<p>The buttons either side of the number of divisions ({SpeedButton19.hint} and {SpeedButton20.hint}) do what the
keypad does. While a song plays the tablature is not edited.</p>
<p>A right click on the tablature opens the division menu: {Copiar1} (the division into the chord), {Pegar1} (the chord
into the division), {Invertirretardo1}, {Vaciar1} and {Deshacer1} (the last ten edits of a division).</p>
<h3>Chords and the fretboard</h3>
<p>The grid on the right, under {Label31}, holds a chord: for each string the note, fret, strength, mode and delay. A
click on the fretboard on a string and a fret plays the note and puts it into the chord (the capo counts); a right
click removes the string. The sliders at the foot set the delay between the strings of a strum and the strength of
them all; {BInvertir.hint} turns the strum round.</p>
<p>The {Label31} list shows the chords of the Acordes folder (.aco files); choosing one loads it, and
{BGuardaAcorde.hint} saves the grid's chord under the name typed. {SpeedButton15.hint} and {SpeedButton16.hint} move
the chord to the box's division and back, and {RellenaAcorde.hint} puts the chord on every marked beat.</p>
<h3>Importing a MIDI file</h3>
<p>{SpeedButton24.hint} (the MIDI button) reads a .mid file of the MIDI folder and writes its notes into the open song's
track: each note goes to a string and fret that play it, the strength comes from the velocity, tempo changes go to the
song's bars, and the song gains repetitions until it covers the whole track. What happened is written to
midireport.txt in the working folder. If the time unit read is not the right one, a second click on the button
opens its menu, which offers {ForzarUnidad1} {Blanca1}, {Negrap1}, {Negra1}, {Corcheap1} or {Corchea1}, and imports
again with that unit from the song as it was; {MIDIinfo1} makes the next click ask for another file. A right click on
the button opens the same menu. Of a
file of several tracks the guitar's is taken: drum tracks (channel 10) and tracks with most of their notes outside
40..88 are skipped when another track has notes, and the log and midireport.txt say which track was taken and why. A
file that cannot be read, or a cancelled import, changes nothing; nor does a file that is cut short, has no header, 0
ticks per quarter note or more than 64 beats of silence before a note, and a message says "Nothing was imported: " and
why.</p>
)html"},
      {"tuner", "El afinador", "The tuner",
       R"html(
<p>El panel {=Afinador1} del menú {Ver1} escucha la guitarra y dice qué nota suena y cuánto se aparta. Al abrirlo se
para lo que esté sonando. La entrada es el micrófono del ordenador ({RBMicro}); {RBMetro} toma el sonido del
metrónomo DRAV cuando está conectado y puede hacerlo (si no, no se puede elegir).</p>
{pic:PanelAfinador}
<p>Toque una cuerda sola y déjela sonar. El panel muestra la frecuencia medida y la exacta de la nota, la {Lnota} con
su nombre en solfeo, la {Lcuerda} y el {Ltraste} donde se toca, y si está alta o baja. La aguja del centro se mueve
hacia la desviación en centésimas (de −50 a +50) y, cuando la nota está afinada, el texto se pone verde. La onda de
abajo es el sonido que llega. Con el panel {=Guitarra1} abierto, una marca en el diapasón señala la nota.</p>
<p>Si la entrada de sonido no se puede abrir, un mensaje lo dice: compruebe que hay un micrófono y que ningún otro
programa lo tiene ocupado. La elección de entrada se guarda en DRAV_PROF.ini (clave Afinador).</p>
)html",
       R"html(
<p>The {=Afinador1} panel of the {Ver1} menu listens to the guitar and tells which note sounds and how far off it is.
Opening it stops whatever is playing. The input is the computer's microphone ({RBMicro}); {RBMetro} takes the sound
of the DRAV metronome when it is connected and able to (otherwise it cannot be chosen).</p>
{pic:PanelAfinador}
<p>Play one string alone and let it ring. The panel shows the measured frequency and the note's exact one, the
{Lnota} with its solfège name, the {Lcuerda} and {Ltraste} where it is played, and whether it is sharp or flat. The
needle in the middle moves to the deviation in cents (−50 to +50) and, when the note is in tune, the text turns
green. The wave below is the sound coming in. With the {=Guitarra1} panel open, a mark on the fretboard shows the
note.</p>
<p>If the sound input cannot be opened, a message says so: check that there is a microphone and that no other program
holds it. The input chosen is kept in DRAV_PROF.ini (key Afinador).</p>
)html"},
      {"phone", "La aplicación del teléfono", "The phone app",
       R"html(
<p>Cuando el ordenador anuncia servicios en la red local (el servicio avahi-daemon de Linux en marcha), el programa
se anuncia al arrancar y escribe en el registro «Listo para conectar con un dispositivo iOS». La aplicación del
teléfono, en la misma red, lo encuentra y se conecta al puerto 1234 del ordenador (ábralo en el cortafuegos si lo
hay). Entonces el programa le envía el nombre del conjunto abierto y, a petición del teléfono, la lista de sonidos,
el archivo de temas y el de fórmulas; cada paso queda en el registro, y «Archivo enviado OK.» al final. Al abrir otro
conjunto, el teléfono recibe el aviso y puede pedirlo de nuevo. Pueden conectarse hasta cuatro teléfonos a la vez,
cada uno con su propio diálogo. Si otro programa ocupa el puerto 1234, el registro dice «No se puede escuchar en el
puerto 1234» y no hay conexión. Sin el servicio de anuncios el programa funciona igual, sin esta conexión, y el
registro lo dice una vez al arrancar: «Sin avahi-daemon en marcha: la aplicación del teléfono no encontrará el
programa». Cuando el servicio se detiene con el programa abierto, el registro dice «avahi-daemon se ha detenido: la
aplicación del teléfono ya no encuentra el programa»; al volver el servicio, el programa se anuncia de nuevo y
escribe otra vez «Listo para conectar con un dispositivo iOS».</p>
)html",
       R"html(
<p>When the computer announces services on the local network (Linux's avahi-daemon running), the program announces
itself at start and writes "Ready to connect with iOS device" into the log. The phone app, on the same network, finds
it and connects to the computer's port 1234 (open it in the firewall if there is one). The program then sends it the
name of the open set and, when the phone asks, the sound list, the songs file and the formulas file; each step goes
into the log, and "Archivo enviado OK." at the end. When another set is opened the phone is told and can ask for it
again. Up to four phones may be connected at once, each with its own dialogue. When another program holds port
1234, the log says "Cannot listen on port 1234" and there is no link. Without the announcement service the program
works the same, without this link, and the log says so once at start: "No avahi-daemon running: the phone app will
not find the program". When the service stops while the program is open, the log says "avahi-daemon has stopped: the
phone app no longer finds the program"; when the service is back, the program announces itself again and writes
"Ready to connect with iOS device" once more.</p>
)html"},
      {"coming", "Próximas partes", "Coming parts",
       R"html(
<p>La edición básica del programa llegará en próximas versiones, con su propio conjunto de datos y el envío de los
temas al metrónomo DRAV. Mientras tanto, este programa trabaja con los conjuntos de datos descritos en el capítulo
«Conjuntos de datos y carpeta de trabajo».</p>
)html",
       R"html(
<p>The basic edition of the program comes in later versions, with its own data set and the sending of songs to the
DRAV metronome. Meanwhile this program works with the data sets described in the chapter "Data sets and the working
folder".</p>
)html"},
  };
  return chapters;
}

const std::vector<ManualMessage>& ManualMessages() {
  static const std::vector<ManualMessage> messages = {
      {"¿ Quiere guardar los cambios realizados ?", "Save the changes ?",
       "El conjunto abierto tiene cambios sin guardar y va a guardarse, cerrarse o cambiarse por otro. Sí los "
       "guarda; No sigue sin guardar (se pierden); Cancelar no guarda (al salir, el programa sigue abierto).",
       "The open set has unsaved changes and is about to be saved, closed or replaced. Yes saves them; No goes on "
       "without saving (they are lost); Cancel does not save (on exit, the program stays open)."},
      {"Los cambios no se han guardado.", "The changes have not been saved.",
       "Al salir, el guardado no se pudo hacer (un error al escribir, o en la edición básica sonidos que no caben en "
       "el DRAV). Sí intenta guardar otra vez; No sale sin guardar (los cambios se pierden); Cancelar deja el "
       "programa abierto con sus cambios.",
       "On exit, the save could not be done (a write error, or in the basic edition sounds that do not fit the "
       "DRAV). Yes tries to save again; No quits without saving (the changes are lost); Cancel keeps the program "
       "open with its changes."},
      {"Metrónomo desconectado", "Metronome disconnected",
       "(En el registro.) El DRAV se ha desconectado (el cable, el aparato apagado). El programa no le envía nada "
       "más y lo busca cada pocos segundos; al volver a conectarlo lo identifica otra vez («Velarto conectado»).",
       "(In the log.) The DRAV has gone (the cable, the device switched off). The program sends it nothing more and "
       "looks for it every few seconds; plugged in again, it is identified again (\"Velarto is plugged in\")."},
      {"No existe el puerto del metrónomo:", "The metronome's port does not exist:",
       "(En el registro.) El puerto que da VELARTO_DEVICE_PORT o la clave PuertoMetronomo del archivo de ajustes no "
       "existe. Corrija el nombre o quítelo para que el programa busque el DRAV por sí mismo.",
       "(In the log.) The port named by VELARTO_DEVICE_PORT or by the key PuertoMetronomo of the settings file does "
       "not exist. Correct the name, or remove it so that the program looks for the DRAV itself."},
      {"No se puede escuchar en el puerto", "Cannot listen on port",
       "(En el registro.) Otro programa ocupa el puerto 1234: la aplicación del teléfono no puede conectarse. "
       "Cierre ese programa y vuelva a abrir este.",
       "(In the log.) Another program holds port 1234: the phone app cannot connect. Close that program and open "
       "this one again."},
      {"¿ Quiere eliminar la fórmula Nº", "¿ Quiere eliminar la fórmula Nº",
       "Pregunta de {Borrarfrmula1}, con el número y el nombre de la fórmula. Sí la borra; No la deja.",
       "The question of {Borrarfrmula1}, with the formula's number and name (asked in Spanish). Yes removes it; No "
       "keeps it."},
      {"¿ Quiere eliminar el tema", "¿ Quiere eliminar el tema",
       "Pregunta de {Borrartema1}, con el nombre del tema. Sí lo borra junto con su pista de guitarra; No lo deja.",
       "The question of {Borrartema1}, with the song's name (asked in Spanish). Yes removes it together with its "
       "guitar track; No keeps it."},
      {" ¿ Quiere guardar el tema de guitarra <nombre>.gtr", " ¿ Quiere guardar el tema de guitarra <name>.gtr",
       "La pista de guitarra abierta tiene cambios sin guardar: lo pregunta su botón de guardar y el cierre del panel "
       "{=Guitarra1} (también al elegir otro tema o al salir). Sí escribe el archivo; No no escribe nada y los cambios "
       "siguen en el panel hasta que se cierra.",
       "The open guitar track has unsaved changes: its save button asks, and so does closing the {=Guitarra1} panel "
       "(also on choosing another song or on leaving) (asked in Spanish). Yes writes the file; No writes nothing and "
       "the changes stay in the panel until it closes."},
      {"El archivo <ruta> ya existe.¿ Quiere sobreescribirlo ?", "El archivo <path> ya existe.¿ Quiere sobreescribirlo ?",
       "Al convertir un conjunto antiguo ya hay un conjunto .vl2 con ese nombre. Sí lo reemplaza por el convertido; No "
       "cancela (copie antes el .ole con otro nombre si quiere conservar los dos).",
       "On converting an older set there already is a .vl2 set of that name (asked in Spanish). Yes replaces it with "
       "the converted one; No cancels (copy the .ole under another name first to keep both)."},
      {" No se puede borrar una fórmula que está siendo usada.", " A formula cannot be erased when is being used.",
       "Algún tema tiene una entrada con esa fórmula (su número sale en rojo). Quite antes esas entradas de los temas "
       "o cámbielas por otra fórmula (columna {SGSaco:3,0}).",
       "A song has an entry with that formula (its number shows red). First remove those entries from the songs or "
       "change them to another formula (column {SGSaco:3,0})."},
      {" No se puede borrar la única fórmula del conjunto.", " The only formula of the set cannot be erased.",
       "Un conjunto tiene siempre al menos una fórmula. Cree otra antes si quiere borrar ésta, o límpiela con "
       "{Limpiarfrmula1}.",
       "A set always keeps at least one formula. Make another one first to remove this one, or clear it with "
       "{Limpiarfrmula1}."},
      {"No caben más fórmulas (512)", "There is no room for more formulas (512)",
       "El conjunto ya tiene 512 fórmulas, el máximo. Borre fórmulas que no se usen (número en verde) o empiece otro "
       "conjunto.",
       "The set already holds 512 formulas, the most it can. Remove unused formulas (green number) or start another "
       "set."},
      {"No caben más temas (128)", "There is no room for more songs (128)",
       "El conjunto ya tiene 128 temas, el máximo. Borre temas o guarde parte de ellos en otro conjunto.",
       "The set already holds 128 songs, the most it can. Remove songs or keep some of them in another set."},
      {"Un tema no admite más de 120 fórmulas", "A song holds at most 120 formulas",
       "El tema ya tiene 120 entradas. Use la columna {SGSaco:4,0} de una entrada para repetirla en lugar de "
       "añadir entradas iguales, o la casilla {Partes} del tema para repetir el tema entero.",
       "The song already has 120 entries. Use the {SGSaco:4,0} column of an entry to repeat it instead of adding "
       "equal entries, or the song's {Partes} box to repeat the whole song."},
      {"Un tema no puede tener más de 120 entradas", "A song cannot have more than 120 entries",
       "Al importar: el tema tendría más de 120 entradas. No se importa.",
       "On importing: the song would have more than 120 entries. It is not imported."},
      {"Seleccione un nombre distinto a Original o Nuevo", "Select a different name to Original or Nuevo",
       "«Original» (el conjunto de fábrica) y «Nuevo» están reservados, también como final de un nombre "
       "(«MiOriginal»). Escriba otro nombre.",
       "\"Original\" (the factory set) and \"Nuevo\" are reserved, also as the end of a name (\"MyOriginal\"). Type "
       "another name."},
      {"El archivo tiene que estar en una carpeta datos", "The file must be in a datos folder",
       "El conjunto antiguo elegido no está en una carpeta llamada datos. Cópielo (con su carpeta) a la carpeta datos "
       "de la carpeta de trabajo y elíjalo allí.",
       "The older set chosen is not in a folder named datos. Copy it (with its folder) into the datos folder of the "
       "working folder and choose it there."},
      {"No se ha podido convertir el archivo: <causa>", "The file could not be converted: <cause>",
       "El conjunto antiguo no se pudo leer o el nuevo no se pudo escribir; la causa sigue al texto. Compruebe que el "
       ".ole y su carpeta existen y que la carpeta datos admite escritura.",
       "The older set could not be read or the new one could not be written; the cause follows the text. Check that "
       "the .ole and its folder exist and that the datos folder can be written."},
      {"No se han podido leer los datos de <archivo>", "The data could not be read from <file>",
       "Las fórmulas o los temas del conjunto no se pudieron leer. El conjunto se abre con lo que se pudo leer. "
       "Compruebe el archivo (permisos, disco); si está dañado, abra una copia.",
       "The formulas or the songs of the set could not be read. The set opens with what could be read. Check the file "
       "(permissions, disk); when it is damaged, open a copy."},
      {"No se han podido guardar los datos: <causa>", "The data could not be saved: <cause>",
       "El conjunto no se pudo escribir (disco lleno, sin permiso...). Los archivos anteriores quedan intactos y los "
       "cambios siguen en la ventana: libere espacio o use {Guardarcomo1} en otra carpeta datos.",
       "The set could not be written (disk full, no permission...). The previous files stay intact and the changes "
       "remain in the window: free some space or use {Guardarcomo1} into another datos folder."},
      {"No se puede guardar la lista de sonidos: <causa>", "I cannot save the sound list: <cause>",
       "El archivo .vl2 del conjunto no se pudo escribir tras cambiar la lista de sonidos. Compruebe el espacio y los "
       "permisos de la carpeta datos.",
       "The set's .vl2 file could not be written after a change of the sound list. Check the space and the permissions "
       "of the datos folder."},
      {"La lista de sonidos tiene <n> nombres: se usan los <m> primeros.",
       "The sound list has <n> names: the first <m> are used.",
       "La lista del conjunto tiene más sonidos de los que caben. Los de más se conservan en el archivo pero no "
       "suenan. Quite sonidos que no use.",
       "The set's list has more sounds than fit. The extra ones are kept in the file but do not sound. Remove sounds "
       "you do not use."},
      {"No se puede abrir el archivo: <ruta>", "I cannot open the file: <path>",
       "Un sonido de la lista no está en BancoDeSonidos o no es un WAV que el programa lea: las pistas con ese sonido "
       "no suenan; copie el archivo a BancoDeSonidos o cámbielo con {Cambiar1}. Con la ruta de un c1.wav ... c6.wav: "
       "a ese banco de guitarra le falta la grabación de una cuerda, que no suena; copie el archivo a la carpeta del "
       "banco o elija otro banco. Con un archivo .pgt: la plantilla no se pudo leer; no se pega nada.",
       "A sound of the list is not in BancoDeSonidos or is no WAV the program reads: tracks with that sound stay "
       "silent; copy the file into BancoDeSonidos or replace it with {Cambiar1}. With the path of a c1.wav ... c6.wav: "
       "that guitar bank lacks the recording of a string, which stays silent; copy the file into the bank's folder or "
       "choose another bank. With a .pgt file: the template could not be read; nothing is pasted."},
      {"No se pudo guardar el archivo de guitarra: <ruta> <causa>", "The guitar file could not be saved: <path> <cause>",
       "La pista de guitarra no se pudo escribir (disco lleno, sin permiso, carpeta del conjunto borrada...). El "
       "archivo anterior queda intacto y los cambios siguen en el panel con el botón de guardar a la vista: arregle la "
       "causa y vuelva a pulsarlo.",
       "The guitar track could not be written (disk full, no permission, the set's folder removed...). The previous "
       "file stays intact and the changes remain in the panel with the save button shown: fix the cause and click it "
       "again."},
      {"No se pudo guardar la posición del panel en la configuración",
       "The panel's place could not be saved in the settings",
       "El panel queda donde lo puso, pero el archivo de configuración no se pudo escribir, así que el próximo "
       "arranque lo vuelve a colocar en su sitio libre. Compruebe el espacio y los permisos de la carpeta de trabajo.",
       "The panel stays where you put it, but the settings file could not be written, so the next start places it "
       "in its free room again. Check the space and the permissions of the working folder."},
      {"No se pudo guardar la plantilla: <archivo> <causa>", "The template could not be saved: <file> <cause>",
       "La plantilla no se pudo escribir. Elija otra carpeta u otro nombre, o libere espacio; los tiempos siguen "
       "marcados.",
       "The template could not be written. Choose another folder or name, or free some space; the beats stay "
       "marked."},
      {"No se puede abrir el manual: <ruta>", "I cannot open the manual: <path>",
       "El archivo «Manual DRAV_PROF.pdf» no está en la carpeta de trabajo. Copie el manual a la ruta indicada.",
       "The file \"Manual DRAV_PROF.pdf\" is not in the working folder. Copy the manual to the path shown."},
      {"Hace falta un visor de PDF para leer el manual. Abra con uno este archivo: <ruta>",
       "A PDF viewer is needed to read the manual. Open this file with one: <path>",
       "El escritorio no tiene ningún programa para los PDF. Instale un visor de PDF (Evince, Okular, Atril...) y "
       "abra con él el archivo indicado.",
       "The desktop has no program for PDF files. Install a PDF viewer (Evince, Okular, Atril...) and open the file "
       "shown with it."},
      {"No se puede guardar el archivo: <causa>", "I cannot save the file: <cause>",
       "El WAV exportado no se pudo escribir. Elija otra carpeta o libere espacio.",
       "The exported WAV could not be written. Choose another folder or free some space."},
      {"El tema es demasiado largo para un archivo WAV (4 GB): <ruta>",
       "The song is too long for a WAV file (4 GB): <path>",
       "El tema exportado pasaría de 4 GB, el máximo de un WAV (por ejemplo con {Partes} muy grande). Baje {Partes} o "
       "las {SGSaco:4,0}.",
       "The exported song would pass 4 GB, the most a WAV holds (for instance with a very large {Partes}). Lower "
       "{Partes} or the {SGSaco:4,0}."},
      {"Mensajes del dispositivo de sonido (p. ej. «PortAudio: ...»)", "Sound device messages (e.g. \"PortAudio: ...\")",
       "La salida o la entrada de sonido no se pudo abrir al empezar. El programa funciona pero no suena. Compruebe "
       "que hay una tarjeta de sonido libre (cierre otros programas de audio) y vuelva a empezar.",
       "The sound output or input could not be opened at start. The program works but makes no sound. Check that a "
       "sound card is free (close other audio programs) and start again."},
      {"Datos guardados", "Data saved", "Registro: el conjunto se ha guardado.", "Log: the set has been saved."},
      {"Fórmula reparada: <n>", "Formula repaired: <n>",
       "Registro: al abrir, la fórmula n tenía datos imposibles y se ha dejado vacía, de 12 tiempos, con el nombre "
       "«Nueva». Vuelva a escribirla o bórrela.",
       "Log: on opening, formula n held impossible data and has been left empty, of 12 beats, named \"Nueva\". Write "
       "it again or remove it."},
      {"<archivo>: N registros estaban fuera de rango y se han corregido",
       "<file>: N records were out of range and mended",
       "Al abrir, algunos valores del archivo (tempo, tiempos, golpes, niveles, números de sonido o de fórmula, "
       "repeticiones, intro, final, partes) estaban fuera de su rango: cada uno toma el valor más cercano del rango y "
       "un número de sonido o de fórmula que no existe pasa a 0. El archivo no cambia hasta que guarde el conjunto. "
       "El mismo mensaje dice si el archivo no tiene registros completos o tiene más de los que caben.",
       "On opening, some values of the file (tempo, beats, strokes, levels, sound or formula numbers, repetitions, "
       "intro, ending, parts) were out of their range: each takes the nearest value in range, and a sound or formula "
       "number that does not exist becomes 0. The file does not change until you save the set. The same message says "
       "when the file is not whole records or holds more than fit."},
      {"El archivo de configuración no era válido; se ha guardado una copia en <archivo>",
       "The settings file was not valid; a copy was kept in <file>",
       "Registro: al empezar, DRAV_PROF.ini no era un archivo de configuración (datos binarios o demasiado largo). Se "
       "ha apartado con el nombre que se indica y el programa empieza con la configuración de fábrica.",
       "Log: at start, DRAV_PROF.ini was no settings file (binary data or far too long). It has been set aside under "
       "the name shown and the program starts with the factory settings."},
      {"El conjunto de la configuración no está en la carpeta de trabajo; se abre Original: <nombre>",
       "The settings name a set outside the working folder; Original opens: <name>",
       "Registro: la clave archivo de la configuración nombra un conjunto fuera de la carpeta datos (por ejemplo con "
       "«../»). No se abre; se abre el conjunto Original.",
       "Log: the archivo key of the settings names a set outside the datos folder (for example with \"../\"). It is "
       "not opened; the set Original opens instead."},
      {"La lista de sonidos es demasiado larga para leerla entera; no se guardará: <archivo>",
       "The sound list is too long to be read whole; it will not be saved: <file>",
       "La lista de sonidos del conjunto pasa de 16 MB. Se usan sus primeros nombres, pero ni las órdenes de la "
       "lista ni {Guardar1} la escriben, para no perder los nombres que no se leyeron. Acorte la lista con un editor "
       "de texto.",
       "The set's sound list is over 16 MB. Its first names are used, but neither the list commands nor {Guardar1} "
       "write it, so that the names not read are not lost. Shorten the list with a text editor."},
      {"Se ha completado el guardado interrumpido de <conjunto>", "The interrupted save was completed: <set>",
       "Registro: un guardado anterior se interrumpió (el programa se cerró o se fue la luz) después de escribir "
       "todo el conjunto; al abrirlo se ha terminado, y el conjunto es el guardado.",
       "Log: an earlier save was cut short (the program ended or the power went) after the whole set was written; "
       "opening it has finished the save, and the set is the one saved."},
      {"Se ha descartado el guardado interrumpido de <conjunto>", "The interrupted save was discarded: <set>",
       "Registro: un guardado anterior se interrumpió antes de escribir todo el conjunto; el conjunto sigue como "
       "estaba antes de aquel guardado.",
       "Log: an earlier save was cut short before the whole set was written; the set is as it was before that save."},
      {"<archivo> no es un archivo de sonido: <causa>", "<file> is not a sound file: <cause>",
       "El archivo no se puede leer como sonido (WAV, AIFF, FLAC... de cualquier frecuencia, mono o estéreo); no se "
       "añade a la lista, que queda como estaba. Al abrir un conjunto, su número suena en silencio.",
       "The file cannot be read as a sound (WAV, AIFF, FLAC... at any rate, mono or stereo); it is not added to the "
       "list, which stays as it was. When a set is opened, its number plays silence."},
      {"No se pueden cargar N archivos de sonido: <los primeros>", "I cannot load N sound files: <the first>",
       "Al cargar los sonidos del conjunto, varios no se pudieron abrir o leer: un solo mensaje da cuántos y los "
       "primeros. Sus números suenan en silencio.",
       "While loading the set's sounds, several could not be opened or read: one message gives how many and the "
       "first of them. Their numbers play silence."},
      {"El sonido <archivo> está vacío", "The sound <file> is empty",
       "Registro: el archivo de sonido no tiene muestras; su número suena en silencio.",
       "Log: the sound file holds no samples; its number plays silence."},
      {"No se puede copiar la lista de sonidos: <causa>", "I cannot copy the sound list: <cause>",
       "Registro: al abrir un conjunto nuevo o sin lista, no se pudo copiar la lista de fábrica datos/Original.vl2. "
       "Compruebe que existe.",
       "Log: opening a new set or one without a list, the factory list datos/Original.vl2 could not be copied. Check "
       "that it exists."},
      {"No se ha podido copiar <archivo>", "I could not copy <file>",
       "Registro: con {Guardarcomo1}, una pista de guitarra no se pudo copiar al conjunto nuevo. Cópiela a mano.",
       "Log: with {Guardarcomo1}, a guitar track could not be copied to the new set. Copy it by hand."},
      {"Importando Tema: <nombre>", "Importando Tema: <name>", "Registro: se está importando ese tema.",
       "Log: that song is being imported."},
      {"Añadiendo fórmula: <nombre>", "Añadiendo fórmula: <name>",
       "Registro: al importar, esa fórmula no estaba en el conjunto y se ha añadido.",
       "Log: on importing, that formula was not in the set and has been added."},
      {"Normalizando temas:", "Normalizando temas:",
       "Registro: {Normalizar1} (o el guardado) calcula la ganancia de cada tema; siguen sus nombres.",
       "Log: {Normalizar1} (or the save) finds each song's gain; their names follow."},
      {"Archivo : <ruta> guardado", "File : <path> saved", "Registro: el tema se ha exportado a ese WAV.",
       "Log: the song has been exported to that WAV."},
      {"Listo para conectar con un dispositivo iOS", "Ready to connect with iOS device",
       "Registro, al empezar: el programa espera la conexión de la aplicación para iOS en la red local. No hay que "
       "hacer nada.",
       "Log, at start: the program waits for the iOS app to connect over the local network. Nothing to do."},
      {"Play <tema o fórmula> / Stop", "Play <song or formula> / Stop",
       "Registro: empieza a sonar el tema o la fórmula, o se para.", "Log: the song or formula starts, or it stops."},
  };
  return messages;
}

const std::vector<ManualShortcutText>& ManualShortcutTexts() {
  static const std::vector<ManualShortcutText> texts = {
      {"ManualPC", "Abre este manual ({Ayuda1} &gt; {ManualBORNACEPELN1}).",
       "Opens this manual ({Ayuda1} &gt; {ManualBORNACEPELN1})."},
      {"Action1", "Toca el tema elegido desde la entrada elegida (▶ del panel {=Temas1}).",
       "Plays the chosen song from the chosen entry (▶ of the {=Temas1} panel)."},
      {"Action2", "Toca en bucle la fórmula elegida (▶ del panel {=Frmulas1}).",
       "Plays the chosen formula in a loop (▶ of the {=Frmulas1} panel)."},
      {"Action3", "Para lo que suena (■).", "Stops whatever plays (■)."},
      {"Nuevotema1", "{Nuevotema1}: añade un tema vacío.", "{Nuevotema1}: appends an empty song."},
      {"Normalizar1", "{Normalizar1}: calcula la ganancia de todos los temas.",
       "{Normalizar1}: finds the gain of every song."},
      {"Copiartema1", "{Copiartema1} (con el foco en la tabla de temas)", "{Copiartema1} (with the focus in the song table)"},
      {"Pegartema1", "{Pegartema1} (con el foco en la tabla de temas)", "{Pegartema1} (with the focus in the song table)"},
      {"Limpiartema1", "{Limpiartema1} (con el foco en la tabla de temas)",
       "{Limpiartema1} (with the focus in the song table)"},
      {"Borrartema1", "{Borrartema1} (con el foco en la tabla de temas)",
       "{Borrartema1} (with the focus in the song table)"},
      {"Ordenarpornombre1", "{Ordenarpornombre1} (con el foco en la tabla de temas)",
       "{Ordenarpornombre1} (with the focus in the song table)"},
  };
  return texts;
}
